#pragma once
// The Tesla coil holds an electricity store: one electricity effect whose
// influence volume is a sphere around the coil's top. Bodies with an
// electricity property inside it draw from the store; with refresh on the
// store refills by refreshRate x maximumPower per second up to maximumPower.
// Every change of the coil's values is passed on by applyTeslaSettings.
#include <string>
#include <vector>

#include "objects/NodeGraphic.h"

namespace NSObjects {

class ObjectTeslaSpule : public NSNode::NodeGraphic {
public:
    // full: range 50, starting and maximum power 10000, refresh rate 0.1,
    // switched on with refresh, everything editable.
    explicit ObjectTeslaSpule(bool full);
    virtual void setupObject();

    int classId() const override;
    void serialize(NSSerialize::SerialStream& stream) override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;

    // "Enable Teslacoil", "Tesla Range", "Starting Power", "Enable Refresh",
    // "Refresh Rate", "Maximum Power" and, for the designer, the edit flags.
    void appendObjectMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) override;
    bool setMenuValue(std::string label, NSMenu::Value value) override;
    NSMenu::Value getMenuValue(std::string label) override;

    // Hands the coil's values to its store: switch, refresh switch, energy
    // (the starting power), maximum, refill per second and range. The
    // starting power then follows the store's energy, which a lower maximum
    // may have cut.
    void applyTeslaSettings();

    float getRange() const { return range; }
    float getStartingPower() const { return startingPower; }
    float getRefreshRate() const { return refreshRate; }
    float getMaximumPower() const { return maximumPower; }
    bool isEnabled() const { return enabled; }
    bool isRefreshEnabled() const { return refreshEnabled; }

private:
    // The float a value label ("Tesla Range", ...) names, or null.
    float* valueByLabel(const std::string& label);
    // The edit flag an "Edit ..." label names, or null.
    bool* editFlagByLabel(const std::string& label);

    float range = 0.0f;
    bool editRange = false;
    float startingPower = 0.0f;
    bool editStartingPower = false;
    float refreshRate = 0.0f;
    bool editRefreshRate = false;
    float maximumPower = 0.0f;
    bool editMaximumPower = false;
    bool enabled = false;
    bool editEnable = false;
    bool refreshEnabled = false;
};

} // namespace NSObjects
