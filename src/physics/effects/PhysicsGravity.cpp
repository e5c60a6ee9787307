#include "physics/effects/PhysicsGravity.h"

#include "persistence/ClassIds.h"
#include "physics/NodePhysical.h"
#include "physics/PhysicsProperty.h"

namespace NSPhysics {

namespace {
constexpr const char* kAccelerationLabel = "Acceleration";
constexpr float kDefaultAcceleration = 9.81f;
} // namespace

PhysicsGravity::PhysicsGravity(bool full) : PhysicsPointOrDirection(full, kAccelerationLabel, kDefaultAcceleration) {}

PhysicsGravity::PhysicsGravity(float dx, float dy, float dz, float acceleration)
    : PhysicsPointOrDirection(dx, dy, dz, kAccelerationLabel, acceleration) {}

int PhysicsGravity::kind() const { return NSPhysical::KIND_GRAVITY; }

Vector3 PhysicsGravity::computeForce(NSNode::NodePhysical* body, NSPhysical::PhysicsProperty* property) {
    if (!body || !property || property->kind() != kind())
        return Vector3();
    const float strength = property->getEffectivity() * body->effectiveMass() * value * 10.0f;
    return pointOrDirection(body, strength);
}

Vector3 PhysicsGravity::getColour() const { return Vector3(0.0f, 0.0f, 0.0f); }

std::string PhysicsGravity::getMenuPicture() { return "physicsgravity_pic.bmp"; }

int PhysicsGravity::classId() const { return CLASS_PHYSICS_GRAVITY; }

NSClone::Cloneable* PhysicsGravity::clone() const { return NSClone::cloneOf(*this); }

void PhysicsGravity::copyFrom(const NSClone::Cloneable* source) {
    if (dynamic_cast<const PhysicsGravity*>(source))
        PhysicsPointOrDirection::copyFrom(source);
}

} // namespace NSPhysics

QBN_REGISTER_CLASS(CLASS_PHYSICS_GRAVITY, NSPhysics::PhysicsGravity)
