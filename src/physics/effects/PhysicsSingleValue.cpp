#include "physics/effects/PhysicsSingleValue.h"

#include <cmath>

#include "physics/PhysicsProperty.h"

namespace NSPhysics {

PhysicsSingleValue::PhysicsSingleValue(bool full, const char* valueLabel, float initial)
    : Physics(full), valueLabel(valueLabel), value(initial) {}

PhysicsSingleValue::PhysicsSingleValue(float dx, float dy, float dz, const char* valueLabel, float initial)
    : Physics(dx, dy, dz), valueLabel(valueLabel), value(initial) {}

void PhysicsSingleValue::appendOwnMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool) {
    list.push_back(
        NSPhysical::rangeEntry(this, valueLabel, NSMenu::KIND_SLIDER, value, -100, 100, -100.0f, 100.0f));
}

bool PhysicsSingleValue::setMenuValue(std::string label, NSMenu::Value newValue) {
    if (!std::isfinite(newValue.floatValue))
        return false;
    if (label == valueLabel) {
        value = newValue.floatValue;
        return true;
    }
    return Physics::setMenuValue(label, newValue);
}

NSMenu::Value PhysicsSingleValue::getMenuValue(std::string label) {
    if (label == valueLabel)
        return NSMenu::Value::ofFloat(value);
    return Physics::getMenuValue(label);
}

unsigned PhysicsSingleValue::getMenuFlags() { return 65535u; }

void PhysicsSingleValue::serialize(NSSerialize::SerialStream& stream) {
    Physics::serialize(stream);
    if (!stream.isCurrentVersion())
        return;
    stream.transfer(value);
}

void PhysicsSingleValue::copyFrom(const NSClone::Cloneable* source) {
    auto* src = dynamic_cast<const PhysicsSingleValue*>(source);
    if (!src || src == this)
        return;
    Physics::copyFrom(source);
    value = src->value;
}

} // namespace NSPhysics
