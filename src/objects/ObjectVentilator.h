#pragma once
// The fan blows along its own z axis: one wind effect whose influence volume
// is the 100 units in front of it. The fan keeps the wind's strength and its
// blades' animation in step with its turning speed and its switch.
#include <string>
#include <vector>

#include "objects/NodeGraphic.h"

namespace NSObjects {

class ObjectVentilator : public NSNode::NodeGraphic {
public:
    // full: turning speed 20, running, everything editable.
    explicit ObjectVentilator(bool full);
    virtual void setupObject();

    int classId() const override;
    void serialize(NSSerialize::SerialStream& stream) override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;

    // "Enable Ventilator", "Turning Speed" and, for the designer, their edit flags.
    void appendObjectMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) override;
    bool setMenuValue(std::string label, NSMenu::Value value) override;
    NSMenu::Value getMenuValue(std::string label) override;

    // Sets the wind's strength (0 while switched off) and the blades' speed.
    void setTurningSpeed(float v);
    float getTurningSpeed() const { return turningSpeed; }
    // Switches wind and blades; the turning speed is kept for later.
    void setEnabled(bool on);
    bool isEnabled() const { return enabled; }
    bool canEditTurningSpeed() const { return editTurningSpeed; }
    bool canEditEnable() const { return editEnable; }

private:
    float turningSpeed = 0.0f;
    bool editTurningSpeed = false;
    bool enabled = false;
    bool editEnable = false;
};

} // namespace NSObjects
