#include "physics/PhysicsProperty.h"

#include <cmath>
#include <typeinfo>

#include "persistence/ClassIds.h"

namespace NSPhysical {

using NSMenu::MenuEntry;

MenuEntry rangeEntry(NSMenu::MenuConfigureable* owner, const std::string& label, unsigned kind, float value,
                     int intMin, int intMax, float floatMin, float floatMax) {
    return MenuEntry(owner, label, NSMenu::TYPE_FLOAT, kind, NSMenu::Value::ofFloat(value), true,
                     new NSMenu::ValueConstraintRange(intMin, intMax, floatMin, floatMax));
}

MenuEntry boolEntry(NSMenu::MenuConfigureable* owner, const std::string& label, bool value) {
    return MenuEntry(owner, label, NSMenu::TYPE_BOOL, NSMenu::KIND_BOOL, NSMenu::Value::ofBool(value), true);
}

PhysicsProperty::PhysicsProperty(bool full) {
    if (full)
        effectivity = 1.0f;
}

PhysicsProperty::PhysicsProperty(float effectivity) : effectivity(effectivity) {}

int PhysicsProperty::classId() const { return CLASS_PHYSICS_PROPERTY; }

void PhysicsProperty::serialize(NSSerialize::SerialStream& stream) {
    if (!stream.isCurrentVersion())
        return;
    stream.transfer(effectivity);
}

std::string PhysicsProperty::effectivityLabel() const { return std::string(); }

void PhysicsProperty::appendOwnMenuEntries(std::vector<MenuEntry>& list, bool) {
    std::string label = effectivityLabel();
    if (!label.empty())
        list.push_back(rangeEntry(this, label, NSMenu::KIND_SLIDER, effectivity, 0, 1, 0.0f, 1.0f));
}

bool PhysicsProperty::setMenuValue(std::string label, NSMenu::Value value) {
    if (label.empty() || label != effectivityLabel() || !std::isfinite(value.floatValue))
        return false;
    effectivity = value.floatValue;
    return true;
}

NSMenu::Value PhysicsProperty::getMenuValue(std::string label) {
    if (!label.empty() && label == effectivityLabel())
        return NSMenu::Value::ofFloat(effectivity);
    return NSMenu::Value();
}

void PhysicsProperty::getMenuEntries(std::vector<MenuEntry>& list, bool detailed) {
    appendOwnMenuEntries(list, detailed);
}

unsigned PhysicsProperty::getMenuFlags() { return 65535; }

std::string PhysicsProperty::getMenuPicture() { return std::string(); }

void PhysicsProperty::copyFrom(const NSClone::Cloneable* source) {
    auto* p = dynamic_cast<const PhysicsProperty*>(source);
    if (p && typeid(*p) == typeid(*this))
        effectivity = p->effectivity;
}

} // namespace NSPhysical
