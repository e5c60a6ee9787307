#pragma once
// Wind: blows the bodies that carry a wind property along the force
// direction. It does not grow with the body's mass, so a tennis ball drifts
// where a heavy ball hardly moves.
#include "physics/effects/PhysicsSingleValue.h"

namespace NSPhysics {

class PhysicsWind : public PhysicsSingleValue {
public:
    // full: strength 1 along (1, 0, 0).
    explicit PhysicsWind(bool full);
    // strength along (1, 0, 0).
    explicit PhysicsWind(float strength);

    int kind() const override;
    Vector3 computeForce(NSNode::NodePhysical* body, NSPhysical::PhysicsProperty* property) override;
    Vector3 getColour() const override;
    std::string getMenuPicture() override;

    int classId() const override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;

    float getStrength() const { return value; }
    void setStrength(float newValue) { value = newValue; }
};

} // namespace NSPhysics
