#pragma once
// Cold and heat: each pushes the bodies that carry a property of its kind
// along the effect's own x axis, with its intensity; the force direction is
// not used. One class, the two told apart by a table of their labels, class
// ids, colours and pictures; the game's code names each by its own type
// (PhysicsCold, PhysicsHeat), which only picks the kind.
#include "physics/effects/PhysicsSingleValue.h"

namespace NSPhysics {

class PhysicsTemperature : public PhysicsSingleValue {
public:
    // full: intensity 1, direction (1, 0, 0). kind is KIND_HEAT or KIND_COLD
    // (anything else stands for cold).
    PhysicsTemperature(int kind, bool full);

    int kind() const override;
    Vector3 computeForce(NSNode::NodePhysical* body, NSPhysical::PhysicsProperty* property) override;
    Vector3 getColour() const override;
    std::string getMenuPicture() override;

    int classId() const override;
    NSClone::Cloneable* clone() const override;
    // Copies from an effect of the same kind only.
    void copyFrom(const NSClone::Cloneable* source) override;

    float getIntensity() const { return value; }
    void setIntensity(float newValue) { value = newValue; }

    struct Row {
        int kind;
        int classId;
        const char* label;
        Vector3 colour;
        const char* picture;
    };

private:
    const Row* row;
};

template <int Kind>
class PhysicsTemperatureNamed : public PhysicsTemperature {
public:
    explicit PhysicsTemperatureNamed(bool full) : PhysicsTemperature(Kind, full) {}
};

using PhysicsCold = PhysicsTemperatureNamed<NSPhysical::KIND_COLD>;
using PhysicsHeat = PhysicsTemperatureNamed<NSPhysical::KIND_HEAT>;

} // namespace NSPhysics
