#include "physics/effects/PhysicsWind.h"

#include "persistence/ClassIds.h"
#include "physics/NodePhysical.h"
#include "physics/PhysicsProperty.h"

namespace NSPhysics {

PhysicsWind::PhysicsWind(bool full) : PhysicsSingleValue(full, "Wind Strength", 1.0f) {
    if (full)
        forceDirection = Vector3(1.0f, 0.0f, 0.0f);
}

PhysicsWind::PhysicsWind(float strength) : PhysicsSingleValue(1.0f, 0.0f, 0.0f, "Wind Strength", strength) {}

int PhysicsWind::kind() const { return NSPhysical::KIND_WIND; }

Vector3 PhysicsWind::computeForce(NSNode::NodePhysical* body, NSPhysical::PhysicsProperty* property) {
    if (!body || !property || property->kind() != kind())
        return Vector3();
    Vector3 direction = forceDirection;
    return world(direction.normalize() * static_cast<float>(property->getEffectivity() * value * 0.2));
}

Vector3 PhysicsWind::getColour() const { return Vector3(0.4f, 0.6f, 1.0f); }

std::string PhysicsWind::getMenuPicture() { return "physicswind_pic.bmp"; }

int PhysicsWind::classId() const { return CLASS_PHYSICS_WIND; }

NSClone::Cloneable* PhysicsWind::clone() const { return NSClone::cloneOf(*this); }

void PhysicsWind::copyFrom(const NSClone::Cloneable* source) {
    if (dynamic_cast<const PhysicsWind*>(source))
        PhysicsSingleValue::copyFrom(source);
}

} // namespace NSPhysics

QBN_REGISTER_CLASS(CLASS_PHYSICS_WIND, NSPhysics::PhysicsWind)
