#pragma once
// The common ground of the effects that either pull toward their owner with
// an inverse-square fall-off (point mode) or push along the force direction:
// the "Directional" switch beside the value's slider, its record field and
// the menu flags that show the force direction only when it is used.
#include <string>
#include <vector>

#include "physics/effects/PhysicsSingleValue.h"

namespace NSPhysics {

class PhysicsPointOrDirection : public PhysicsSingleValue {
public:
    // The value's slider, then the "Directional" switch.
    void appendOwnMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) override;
    bool setMenuValue(std::string label, NSMenu::Value value) override;
    NSMenu::Value getMenuValue(std::string label) override;
    // 47 in point mode (no force direction), 63 otherwise.
    unsigned getMenuFlags() override;

    // The value, then the point mode.
    void serialize(NSSerialize::SerialStream& stream) override;
    void copyFrom(const NSClone::Cloneable* source) override;

    bool isPointMode() const { return pointMode; }
    void setPointMode(bool p) { pointMode = p; }

protected:
    // In point mode.
    PhysicsPointOrDirection(bool full, const char* valueLabel, float initial);
    // Along (dx, dy, dz), not in point mode.
    PhysicsPointOrDirection(float dx, float dy, float dz, const char* valueLabel, float initial);

    // The pull toward the owner in point mode, otherwise the normalised force
    // direction in the world, times factor.
    Vector3 pointOrDirection(NSNode::NodePhysical* body, float factor) const;

    bool pointMode;
};

} // namespace NSPhysics
