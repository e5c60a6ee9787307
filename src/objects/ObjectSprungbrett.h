#pragma once
// The springboard throws bodies back harder than they came. It has no effect
// of its own: its bounce values do it. A contact multiplies the restitution
// by the jump power and averages the friction with minus the jump power; a
// negative friction speeds the body up on the way out.
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

private:
    float jumpPower = 0.0f;
    bool editJumpPower = false;
};

} // namespace NSObjects
