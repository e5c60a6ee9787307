#pragma once
// Cold: pushes the bodies that carry a cold property along the effect's own
// x axis, with its intensity; the force direction is not used.
#include "physics/effects/PhysicsSingleValue.h"

namespace NSPhysics {

class PhysicsCold : public PhysicsSingleValue {
public:
    // full: intensity 1, direction (1, 0, 0).
    explicit PhysicsCold(bool full);

    int kind() const override;
    Vector3 computeForce(NSNode::NodePhysical* body, NSPhysical::PhysicsProperty* property) override;
    Vector3 getColour() const override;
    std::string getMenuPicture() override;

    int classId() const override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;

    float getIntensity() const { return value; }
    void setIntensity(float newValue) { value = newValue; }
};

} // namespace NSPhysics
