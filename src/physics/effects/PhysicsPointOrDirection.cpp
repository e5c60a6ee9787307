#include "physics/effects/PhysicsPointOrDirection.h"

#include <cmath>

#include "physics/PhysicsProperty.h"

namespace NSPhysics {

PhysicsPointOrDirection::PhysicsPointOrDirection(bool full, const char* valueLabel, float initial)
    : PhysicsSingleValue(full, valueLabel, initial), pointMode(true) {}

PhysicsPointOrDirection::PhysicsPointOrDirection(float dx, float dy, float dz, const char* valueLabel, float initial)
    : PhysicsSingleValue(dx, dy, dz, valueLabel, initial), pointMode(false) {}

Vector3 PhysicsPointOrDirection::pointOrDirection(NSNode::NodePhysical* body, float factor) const {
    if (pointMode)
        return pointPull(body) * factor;
    Vector3 direction = forceDirection;
    return world(direction.normalize()) * factor;
}

void PhysicsPointOrDirection::appendOwnMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) {
    PhysicsSingleValue::appendOwnMenuEntries(list, detailed);
    list.push_back(NSPhysical::boolEntry(this, "Directional", !pointMode));
}

bool PhysicsPointOrDirection::setMenuValue(std::string label, NSMenu::Value newValue) {
    if (!std::isfinite(newValue.floatValue))
        return false;
    if (label == "Directional") {
        pointMode = !newValue.boolValue;
        menuLinesChanged(); // the force direction lines come or go
        return true;
    }
    return PhysicsSingleValue::setMenuValue(label, newValue);
}

NSMenu::Value PhysicsPointOrDirection::getMenuValue(std::string label) {
    if (label == "Directional")
        return NSMenu::Value::ofBool(!pointMode);
    return PhysicsSingleValue::getMenuValue(label);
}

unsigned PhysicsPointOrDirection::getMenuFlags() { return pointMode ? 47u : 63u; }

void PhysicsPointOrDirection::serialize(NSSerialize::SerialStream& stream) {
    PhysicsSingleValue::serialize(stream);
    if (!stream.isCurrentVersion())
        return;
    stream.transfer(pointMode);
}

void PhysicsPointOrDirection::copyFrom(const NSClone::Cloneable* source) {
    auto* src = dynamic_cast<const PhysicsPointOrDirection*>(source);
    if (!src || src == this)
        return;
    PhysicsSingleValue::copyFrom(source);
    pointMode = src->pointMode;
}

} // namespace NSPhysics
