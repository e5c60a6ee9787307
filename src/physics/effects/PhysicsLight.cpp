#include "physics/effects/PhysicsLight.h"

#include <algorithm>

#include "persistence/ClassIds.h"
#include "physics/NodePhysical.h"
#include "physics/PhysicsProperty.h"

namespace NSPhysics {

PhysicsLight::PhysicsLight(bool full) : PhysicsSingleValue(full, "Light Intensity", 1.0f) {
    if (full)
        forceDirection = Vector3(1.0f, 0.0f, 0.0f);
}

int PhysicsLight::kind() const { return NSPhysical::KIND_LIGHT; }

Vector3 PhysicsLight::computeForce(NSNode::NodePhysical* body, NSPhysical::PhysicsProperty* property) {
    if (!body || !property || property->kind() != kind())
        return Vector3();
    float d = length(ownerPosition() - body->worldPosition());
    if (!(d >= kMinPointDistance)) // on the owner itself: see kMinPointDistance
        return Vector3();
    d = std::max(d, softRadius(body));
    return world(Vector3(1.0f, 0.0f, 0.0f) * (property->getEffectivity() * value * (1 / (d * d))));
}

Vector3 PhysicsLight::getColour() const { return Vector3(1.0f, 1.0f, 0.0f); }

std::string PhysicsLight::getMenuPicture() { return "physicslight_pic.bmp"; }

int PhysicsLight::classId() const { return CLASS_PHYSICS_LIGHT; }

NSClone::Cloneable* PhysicsLight::clone() const { return NSClone::cloneOf(*this); }

void PhysicsLight::copyFrom(const NSClone::Cloneable* source) {
    if (dynamic_cast<const PhysicsLight*>(source))
        PhysicsSingleValue::copyFrom(source);
}

} // namespace NSPhysics

QBN_REGISTER_CLASS(CLASS_PHYSICS_LIGHT, NSPhysics::PhysicsLight)
