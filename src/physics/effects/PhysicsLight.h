#pragma once
// Light: pushes the bodies that carry a light property along the effect's
// own x axis, falling off with the squared distance between the body and
// the owner (the body the effect hangs under).
#include <string>
#include <vector>

#include "physics/Physics.h"

namespace NSPhysics {

class PhysicsLight : public NSPhysical::Physics {
public:
    // full: intensity 1, direction (1, 0, 0).
    explicit PhysicsLight(bool full);

    int kind() const override;
    Vector3 computeForce(NSNode::NodePhysical* body, NSPhysical::PhysicsProperty* property) override;
    void appendOwnMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) override;
    Vector3 getColour() const override;

    bool setMenuValue(std::string label, NSMenu::Value value) override;
    NSMenu::Value getMenuValue(std::string label) override;
    unsigned getMenuFlags() override;
    std::string getMenuPicture() override;

    int classId() const override;
    void serialize(NSSerialize::SerialStream& stream) override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;

    float getIntensity() const { return intensity; }
    void setIntensity(float value) { intensity = value; }

private:
    float intensity = 1.0f;
};

} // namespace NSPhysics
