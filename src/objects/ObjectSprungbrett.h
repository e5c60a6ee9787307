#pragma once
// The springboard throws bodies back harder than they came. It has no effect
// of its own: its bounce values do it. A contact multiplies the restitution
// by the jump power and averages the friction with minus the jump power; a
// negative friction speeds the body up on the way out. Selected, it shows
// where it throws, as an arrow from the middle of the board.
#include <string>
#include <vector>

#include "objects/NodeGraphic.h"

namespace NSObjects {

class ObjectSprungbrett : public NSNode::NodeGraphic {
public:
    // full: jump power 1, editable.
    explicit ObjectSprungbrett(bool full);
    virtual void setupObject();

    int classId() const override;
    void serialize(NSSerialize::SerialStream& stream) override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;

    // "Jump Power" and, for the designer, "Edit Jump Power".
    void appendObjectMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) override;
    bool setMenuValue(std::string label, NSMenu::Value value) override;
    NSMenu::Value getMenuValue(std::string label) override;

    // Fixed in place; elastic bounce v, bounce friction -v, friction on.
    void setJumpPower(float v);
    float getJumpPower() const { return jumpPower; }
    bool canEditJumpPower() const { return editJumpPower; }

    // The bounce and friction of a tennis ball: the throw's ball in a scene
    // without moving bodies.
    static constexpr float kDefaultBallBounce = 0.9f;
    static constexpr float kDefaultBallFriction = 0.3f;
    // The arrow's length per unit of the throw's speed (see throwVelocity).
    static constexpr float kArrowPerSpeed = 25.0f;
    // The velocity, per unit of falling speed and in world coordinates, with
    // which a ball falling straight down onto the board leaves it, worked
    // out as a contact does. The ball is the moving body the player may move
    // (the lightest of them), else the lightest moving body in the scene,
    // else a tennis ball. Its length grows with the jump power.
    Vector3 throwVelocity() const;
    // Selected (and not while picking): the throw as an arrow from the middle
    // of the board, kArrowPerSpeed long per unit of its speed.
    void draw() override;

private:
    float jumpPower = 0.0f;
    bool editJumpPower = false;
};

} // namespace NSObjects
