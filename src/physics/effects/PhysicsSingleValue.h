#pragma once
// The common ground of the effects that carry one float of their own (an
// intensity, a strength, an acceleration): its menu slider, its record field
// and its copy. Each effect names the slider and picks the starting value;
// the force law stays with the effect.
#include <string>
#include <vector>

#include "physics/Physics.h"

namespace NSPhysics {

class PhysicsSingleValue : public NSPhysical::Physics {
public:
    // One slider from -100 to 100, labelled with the value's label.
    void appendOwnMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) override;
    bool setMenuValue(std::string label, NSMenu::Value value) override;
    NSMenu::Value getMenuValue(std::string label) override;
    // Everything the effect menu offers.
    unsigned getMenuFlags() override;

    // The effect's fields, then the value.
    void serialize(NSSerialize::SerialStream& stream) override;
    // Each effect lets only its own kind through before calling this.
    void copyFrom(const NSClone::Cloneable* source) override;

protected:
    PhysicsSingleValue(bool full, const char* valueLabel, float initial);
    PhysicsSingleValue(float dx, float dy, float dz, const char* valueLabel, float initial);

    const char* const valueLabel;
    float value;
};

} // namespace NSPhysics
