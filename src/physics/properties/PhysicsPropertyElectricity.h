#pragma once
// Makes a body a consumer of electricity stores. Instead of an effectivity it
// carries two amounts of energy: the minimum use (kept in the effectivity
// field) and the maximum use. A store serves a new consumer only while its
// free energy is greater than the minimum use, and gives it at most the
// maximum use.
#include <string>
#include <vector>

#include "physics/PhysicsProperty.h"

namespace NSPhysicsProperty {

class PhysicsPropertyElectricity : public NSPhysical::PhysicsProperty {
public:
    // full: minimum use 1.0, maximum use 1.0; otherwise a reader fills them.
    explicit PhysicsPropertyElectricity(bool full);
    PhysicsPropertyElectricity(float minUse, float maxUse);

    int classId() const override;
    int kind() const override;
    void serialize(NSSerialize::SerialStream& stream) override;
    // "Minimum Use" and "Maximum Use", inputs from 0 to 99999.
    void appendOwnMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) override;
    std::string effectivityLabel() const override;
    bool setMenuValue(std::string label, NSMenu::Value value) override;
    NSMenu::Value getMenuValue(std::string label) override;
    std::string getMenuPicture() override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;

    float getMinUse() const { return effectivity; }
    void setMinUse(float use) { effectivity = use; }
    float getMaxUse() const { return maxUse; }
    void setMaxUse(float use) { maxUse = use; }

private:
    float maxUse = 1.0f;
};

} // namespace NSPhysicsProperty
