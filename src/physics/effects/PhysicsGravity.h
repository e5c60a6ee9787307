#pragma once
// Gravity: pulls the bodies that carry a gravity property either along the
// force direction (a room's ordinary gravity) or, in point mode, toward the
// body it hangs under with an inverse-square fall-off. The pull grows with
// the body's mass, so every body falls with the same acceleration,
// effectivity x acceleration x 10 (scene units per second squared).
#include <string>
#include <vector>

#include "physics/Physics.h"

namespace NSPhysics {

class PhysicsGravity : public NSPhysical::Physics {
public:
    // full: acceleration 9.81, point mode, no direction.
    explicit PhysicsGravity(bool full);
    // Along (dx, dy, dz) in the effect's frame, not in point mode.
    PhysicsGravity(float dx, float dy, float dz, float acceleration);

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

    float getAcceleration() const { return acceleration; }
    void setAcceleration(float a) { acceleration = a; }
    bool isPointMode() const { return pointMode; }
    void setPointMode(bool p) { pointMode = p; }

private:
    float acceleration = 9.81f;
    bool pointMode = true;
};

} // namespace NSPhysics
