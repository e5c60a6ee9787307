#pragma once
// A physics property makes a body receptive to one kind of effect and says
// how strongly it reacts (its effectivity). The nine kinds share the numbering
// of the effects.
#include <string>
#include <vector>

#include "menu/MenuConfigureable.h"
#include "persistence/Cloneable.h"
#include "persistence/Serializeable.h"

namespace NSPhysical {

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
    virtual void appendOwnMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed);

    bool setMenuValue(std::string label, NSMenu::Value value) override;
    NSMenu::Value getMenuValue(std::string label) override;
    void getMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) override;
    unsigned getMenuFlags() override;
    std::string getMenuPicture() override;

    void copyFrom(const NSClone::Cloneable* source) override;

    float getEffectivity() const { return effectivity; }
    void setEffectivity(float e) { effectivity = e; }

protected:
    float effectivity = 0.0f;
};

} // namespace NSPhysical
