#pragma once
// A physics property makes a body receptive to one kind of effect and says
// how strongly it reacts (its effectivity). The nine kinds share the numbering
// of the effects.
#include <string>
#include <vector>

#include "editable/MenuConfigureable.h"
#include "persistence/Cloneable.h"
#include "persistence/Serializeable.h"

namespace NSPhysical {

// Menu lines shared by the effects and the properties: a float line with a
// range (integer bounds first, as ValueConstraintRange keeps them) and a bool
// line. Both are enabled and belong to owner.
NSMenu::MenuEntry rangeEntry(NSMenu::MenuConfigureable* owner, const std::string& label, unsigned kind, float value,
                             int intMin, int intMax, float floatMin, float floatMax);
NSMenu::MenuEntry boolEntry(NSMenu::MenuConfigureable* owner, const std::string& label, bool value);

class PhysicsProperty : public NSSerialize::Serializeable,
                        public NSMenu::MenuConfigureable,
                        public NSClone::Cloneable {
public:
    // full gives the default effectivity 1.0; otherwise a reader fills it.
    explicit PhysicsProperty(bool full);
    explicit PhysicsProperty(float effectivity);

    int classId() const override;
    void serialize(NSSerialize::SerialStream& stream) override;
    virtual int kind() const = 0;
    // The effectivity slider (0 to 1) under effectivityLabel(); nothing for a
    // class without a label.
    virtual void appendOwnMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed);
    // The menu label of the effectivity, e.g. "Gravity Effectivity".
    virtual std::string effectivityLabel() const;

    // The effectivity label stores and answers the effectivity; every other
    // label is ignored.
    bool setMenuValue(std::string label, NSMenu::Value value) override;
    NSMenu::Value getMenuValue(std::string label) override;
    // Just the class's own entries, in level and custom mode alike.
    void getMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) override;
    unsigned getMenuFlags() override;
    std::string getMenuPicture() override;

    // Copies the effectivity from a property of exactly the same class.
    void copyFrom(const NSClone::Cloneable* source) override;

    float getEffectivity() const { return effectivity; }
    void setEffectivity(float e) { effectivity = e; }

protected:
    float effectivity = 0.0f;
};

} // namespace NSPhysical
