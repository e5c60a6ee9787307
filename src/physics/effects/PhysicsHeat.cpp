#include "physics/effects/PhysicsHeat.h"

#include "persistence/ClassIds.h"
#include "physics/NodePhysical.h"
#include "physics/properties/PhysicsPropertyHeat.h"

namespace NSPhysics {

PhysicsHeat::PhysicsHeat(bool full) : PhysicsSingleValue(full, "Heat Intensity", 1.0f) {
    if (full)
        forceDirection = Vector3(1.0f, 0.0f, 0.0f);
}

int PhysicsHeat::kind() const { return NSPhysical::KIND_HEAT; }

Vector3 PhysicsHeat::computeForce(NSNode::NodePhysical* body, NSPhysical::PhysicsProperty* property) {
    if (!body || !dynamic_cast<NSPhysicsProperty::PhysicsPropertyHeat*>(property))
        return Vector3();
    return world(Vector3(1.0f, 0.0f, 0.0f) * (property->getEffectivity() * value));
}

Vector3 PhysicsHeat::getColour() const { return Vector3(1.0f, 0.2f, 0.2f); }

std::string PhysicsHeat::getMenuPicture() { return "physicsheat_pic.bmp"; }

int PhysicsHeat::classId() const { return CLASS_PHYSICS_HEAT; }

NSClone::Cloneable* PhysicsHeat::clone() const {
    auto* copy = new PhysicsHeat(false);
    copy->copyFrom(this);
    return copy;
}

void PhysicsHeat::copyFrom(const NSClone::Cloneable* source) {
    if (dynamic_cast<const PhysicsHeat*>(source))
        PhysicsSingleValue::copyFrom(source);
}

} // namespace NSPhysics

QBN_REGISTER_CLASS(CLASS_PHYSICS_HEAT, NSPhysics::PhysicsHeat)
