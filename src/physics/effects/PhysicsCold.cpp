#include "physics/effects/PhysicsCold.h"

#include "persistence/ClassIds.h"
#include "physics/NodePhysical.h"
#include "physics/properties/PhysicsPropertyCold.h"

namespace NSPhysics {

PhysicsCold::PhysicsCold(bool full) : PhysicsSingleValue(full, "Cold Intensity", 1.0f) {
    if (full)
        forceDirection = Vector3(1.0f, 0.0f, 0.0f);
}

int PhysicsCold::kind() const { return NSPhysical::KIND_COLD; }

Vector3 PhysicsCold::computeForce(NSNode::NodePhysical* body, NSPhysical::PhysicsProperty* property) {
    if (!body || !dynamic_cast<NSPhysicsProperty::PhysicsPropertyCold*>(property))
        return Vector3();
    return world(Vector3(1.0f, 0.0f, 0.0f) * (property->getEffectivity() * value));
}

Vector3 PhysicsCold::getColour() const { return Vector3(0.3f, 0.3f, 1.0f); }

std::string PhysicsCold::getMenuPicture() { return "physicscold_pic.bmp"; }

int PhysicsCold::classId() const { return CLASS_PHYSICS_COLD; }

NSClone::Cloneable* PhysicsCold::clone() const {
    auto* copy = new PhysicsCold(false);
    copy->copyFrom(this);
    return copy;
}

void PhysicsCold::copyFrom(const NSClone::Cloneable* source) {
    if (dynamic_cast<const PhysicsCold*>(source))
        PhysicsSingleValue::copyFrom(source);
}

} // namespace NSPhysics

QBN_REGISTER_CLASS(CLASS_PHYSICS_COLD, NSPhysics::PhysicsCold)
