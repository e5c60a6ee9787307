#pragma once
// Gravity: pulls the bodies that carry a gravity property either along the
// force direction (a room's ordinary gravity) or, in point mode, toward the
// body it hangs under with an inverse-square fall-off. The pull grows with
// the body's mass, so every body falls with the same acceleration,
// effectivity x acceleration x 10 (scene units per second squared).
#include "physics/effects/PhysicsPointOrDirection.h"

namespace NSPhysics {

class PhysicsGravity : public PhysicsPointOrDirection {
public:
    // full: acceleration 9.81, point mode, no direction.
    explicit PhysicsGravity(bool full);
    // Along (dx, dy, dz) in the effect's frame, not in point mode.
    PhysicsGravity(float dx, float dy, float dz, float acceleration);

    int kind() const override;
    Vector3 computeForce(NSNode::NodePhysical* body, NSPhysical::PhysicsProperty* property) override;
    Vector3 getColour() const override;
    std::string getMenuPicture() override;

    int classId() const override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;

    float getAcceleration() const { return value; }
    void setAcceleration(float a) { value = a; }
};

} // namespace NSPhysics
