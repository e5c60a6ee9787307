#pragma once
// Conveyor belts. A belt drives what lies on it through one constant
// movement effect whose influence volume is the layer 10 to 15 above the
// belt's centre; the belt keeps that effect and its running-band animation
// in step with its speed and its switch. A switched-off belt keeps the effect
// at speed 0, which brakes bodies on it to a standstill along the belt.
#include <string>
#include <vector>

#include "objects/NodeGraphic.h"

namespace NSObjects {

class ObjectRollband : public NSNode::NodeGraphic {
public:
    // The catalogue part of the class, then the drive.
    virtual void setupObject() = 0;

    void serialize(NSSerialize::SerialStream& stream) override;
    void copyFrom(const NSClone::Cloneable* source) override;

    // "Enable Rollband", "Rollband Speed" and, for the designer, their edit flags.
    void appendObjectMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) override;
    bool setMenuValue(std::string label, NSMenu::Value value) override;
    NSMenu::Value getMenuValue(std::string label) override;

    // Sets the speed of the drive (0 while switched off) and of the animation.
    void setSpeed(float v);
    float getSpeed() const { return speed; }
    // Switches the drive and the animation; the speed is kept for later.
    void setEnabled(bool on);
    bool isEnabled() const { return enabled; }
    bool canEditSpeed() const { return editSpeed; }
    bool canEditEnable() const { return editEnable; }

protected:
    // full: speed 14, running, everything editable.
    explicit ObjectRollband(bool full);
    // The shared setup of a belt sizeZ deep whose drive runs along direction
    // (in the belt's frame).
    void setupBelt(const char* name, const char* model, const char* picture, float sizeZ, const Vector3& direction);

private:
    float speed = 0.0f;
    bool editSpeed = false;
    bool enabled = false;
    bool editEnable = false;
};

// The short belt: 30 x 10 x 30, drives along -x.
class ObjectRollband1 : public ObjectRollband {
public:
    explicit ObjectRollband1(bool full);
    void setupObject() override;
    int classId() const override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;
};

// The long belt: 30 x 10 x 100, drives along +z.
class ObjectRollband2 : public ObjectRollband {
public:
    explicit ObjectRollband2(bool full);
    void setupObject() override;
    int classId() const override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;
};

} // namespace NSObjects
