#pragma once
// Magnetism: pushes the bodies that carry a magnetic property along the
// force direction or, in point mode, pulls them toward the body it hangs
// under with an inverse-square fall-off. Unlike gravity it does not grow with
// the body's mass, so light bodies are pulled harder. A new magnet starts in
// point mode: it attracts toward its owner, as a magnet would.
#include "physics/effects/PhysicsPointOrDirection.h"

namespace NSPhysics {

class PhysicsMagnetic : public PhysicsPointOrDirection {
public:
    // full: strength 1, point mode, direction (1, 0, 0) for when it is made directional.
    explicit PhysicsMagnetic(bool full);

    int kind() const override;
    Vector3 computeForce(NSNode::NodePhysical* body, NSPhysical::PhysicsProperty* property) override;
    Vector3 getColour() const override;
    std::string getMenuPicture() override;

    int classId() const override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;

    float getStrength() const { return value; }
    void setStrength(float s) { value = s; }
};

} // namespace NSPhysics
