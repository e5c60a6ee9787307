#pragma once
// Friction: slows the bodies that carry a friction property, against their
// velocity, with a linear and a quadratic part. It grows with the body's
// mass, so the deceleration does not depend on it.
#include <string>
#include <vector>

#include "physics/Physics.h"

namespace NSPhysics {

class PhysicsFriction : public NSPhysical::Physics {
public:
    // full: linear friction 0.05, no quadratic friction.
    explicit PhysicsFriction(bool full);
    PhysicsFriction(float linearFriction, float quadraticFriction);

    int kind() const override;
    Vector3 computeForce(NSNode::NodePhysical* body, NSPhysical::PhysicsProperty* property) override;
    void appendOwnMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) override;
    Vector3 getColour() const override;

    bool setMenuValue(std::string label, NSMenu::Value value) override;
    NSMenu::Value getMenuValue(std::string label) override;
    // 47: friction has no direction.
    unsigned getMenuFlags() override;
    // The cold effect's picture.
    std::string getMenuPicture() override;

    int classId() const override;
    void serialize(NSSerialize::SerialStream& stream) override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;

    float getLinearFriction() const { return linearFriction; }
    void setLinearFriction(float f) { linearFriction = f; }
    float getQuadraticFriction() const { return quadraticFriction; }
    void setQuadraticFriction(float f) { quadraticFriction = f; }

private:
    float linearFriction = 0.05f;
    float quadraticFriction = 0.0f;
};

} // namespace NSPhysics
