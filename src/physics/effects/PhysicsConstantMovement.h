#pragma once
// Constant movement (a conveyor belt's drive): accelerates the bodies that
// carry a movement property toward effectivity x speed along the force
// direction and damps their sideways velocity, both at a rate of 1 per
// second. The velocity along the effect's own up axis (a fall, say) is left
// alone. The force grows with the body's mass, so the rates do not depend
// on it.
#include <string>
#include <vector>

#include "physics/Physics.h"

namespace NSPhysics {

class PhysicsConstantMovement : public NSPhysical::Physics {
public:
    // full: speed 1 along (0, 0, 1).
    explicit PhysicsConstantMovement(bool full);
    // speed along (dx, dy, dz).
    PhysicsConstantMovement(float dx, float dy, float dz, float speed);

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

    float getSpeed() const { return speed; }
    void setSpeed(float value) { speed = value; }

private:
    float speed = 1.0f;
};

} // namespace NSPhysics
