#pragma once
// Magnetism: pushes the bodies that carry a magnetic property along the
// force direction or, in point mode, pulls them toward the body it hangs
// under with an inverse-square fall-off. Unlike gravity it does not grow with
// the body's mass, so light bodies are pulled harder. A new magnet starts in
// point mode: it attracts toward its owner, as a magnet would.
#include <string>
#include <vector>

#include "physics/Physics.h"

namespace NSPhysics {

class PhysicsMagnetic : public NSPhysical::Physics {
public:
    // full: strength 1, point mode, direction (1, 0, 0) for when it is made directional.
    explicit PhysicsMagnetic(bool full);

    int kind() const override;
    Vector3 computeForce(NSNode::NodePhysical* body, NSPhysical::PhysicsProperty* property) override;
    void appendOwnMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) override;
    Vector3 getColour() const override;

    bool setMenuValue(std::string label, NSMenu::Value value) override;
    NSMenu::Value getMenuValue(std::string label) override;
    // 47 in point mode (no force direction), 63 otherwise.
    unsigned getMenuFlags() override;
    std::string getMenuPicture() override;

    int classId() const override;
    void serialize(NSSerialize::SerialStream& stream) override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;

    float getStrength() const { return strength; }
    void setStrength(float s) { strength = s; }
    bool isPointMode() const { return pointMode; }
    void setPointMode(bool p) { pointMode = p; }

private:
    float strength = 1.0f;
    bool pointMode = true;
};

} // namespace NSPhysics
