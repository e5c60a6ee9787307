#include "physics/effects/PhysicsMagnetic.h"

#include "persistence/ClassIds.h"
#include "physics/NodePhysical.h"
#include "physics/PhysicsProperty.h"

namespace NSPhysics {

PhysicsMagnetic::PhysicsMagnetic(bool full) : PhysicsPointOrDirection(full, "Magnetic Strength", 1.0f) {
    if (full)
        forceDirection = Vector3(1.0f, 0.0f, 0.0f);
}

int PhysicsMagnetic::kind() const { return NSPhysical::KIND_MAGNETIC; }

Vector3 PhysicsMagnetic::computeForce(NSNode::NodePhysical* body, NSPhysical::PhysicsProperty* property) {
    if (!body || !property || property->kind() != kind())
        return Vector3();
    const float factor = property->getEffectivity() * value * 10.0f;
    return pointOrDirection(body, factor);
}

Vector3 PhysicsMagnetic::getColour() const { return Vector3(1.0f, 0.3f, 1.0f); }

std::string PhysicsMagnetic::getMenuPicture() { return "physicsmagnetic_pic.bmp"; }

int PhysicsMagnetic::classId() const { return CLASS_PHYSICS_MAGNETIC; }

NSClone::Cloneable* PhysicsMagnetic::clone() const { return NSClone::cloneOf(*this); }

void PhysicsMagnetic::copyFrom(const NSClone::Cloneable* source) {
    if (dynamic_cast<const PhysicsMagnetic*>(source))
        PhysicsPointOrDirection::copyFrom(source);
}

} // namespace NSPhysics

QBN_REGISTER_CLASS(CLASS_PHYSICS_MAGNETIC, NSPhysics::PhysicsMagnetic)
