#pragma once
// Wind: blows the bodies that carry a wind property along the force
// direction. It does not grow with the body's mass, so a tennis ball drifts
// where a heavy ball hardly moves.
#include <string>
#include <vector>

#include "physics/Physics.h"

namespace NSPhysics {

class PhysicsWind : public NSPhysical::Physics {
public:
    // full: strength 1 along (1, 0, 0).
    explicit PhysicsWind(bool full);
    // strength along (1, 0, 0).
    explicit PhysicsWind(float strength);

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

    float getStrength() const { return strength; }
    void setStrength(float value) { strength = value; }

private:
    float strength = 1.0f;
};

} // namespace NSPhysics
