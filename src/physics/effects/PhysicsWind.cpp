#include "physics/effects/PhysicsWind.h"

#include <cmath>

#include "persistence/ClassIds.h"
#include "physics/NodePhysical.h"
#include "physics/properties/PhysicsPropertyWind.h"

namespace NSPhysics {

PhysicsWind::PhysicsWind(bool full) : Physics(full) {
    if (full)
        forceDirection = Vector3(1.0f, 0.0f, 0.0f);
}

PhysicsWind::PhysicsWind(float strength) : Physics(1.0f, 0.0f, 0.0f), strength(strength) {}

int PhysicsWind::kind() const { return NSPhysical::KIND_WIND; }

Vector3 PhysicsWind::computeForce(NSNode::NodePhysical* body, NSPhysical::PhysicsProperty* property) {
    if (!body || !dynamic_cast<NSPhysicsProperty::PhysicsPropertyWind*>(property))
        return Vector3();
    Vector3 direction = forceDirection;
    return world(direction.normalize() * static_cast<float>(property->getEffectivity() * strength * 0.2));
}

void PhysicsWind::appendOwnMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool) {
    list.push_back(NSPhysical::rangeEntry(this, "Wind Strength", NSMenu::KIND_SLIDER, strength, -100, 100, -100.0f,
                                          100.0f));
}

Vector3 PhysicsWind::getColour() const { return Vector3(0.4f, 0.6f, 1.0f); }

bool PhysicsWind::setMenuValue(std::string label, NSMenu::Value value) {
    if (!std::isfinite(value.floatValue))
        return false;
    if (label == "Wind Strength") {
        strength = value.floatValue;
        return true;
    }
    return Physics::setMenuValue(label, value);
}

NSMenu::Value PhysicsWind::getMenuValue(std::string label) {
    if (label == "Wind Strength")
        return NSMenu::Value::ofFloat(strength);
    return Physics::getMenuValue(label);
}

unsigned PhysicsWind::getMenuFlags() { return 65535u; }

std::string PhysicsWind::getMenuPicture() { return "physicswind_pic.bmp"; }

int PhysicsWind::classId() const { return CLASS_PHYSICS_WIND; }

void PhysicsWind::serialize(NSSerialize::SerialStream& stream) {
    Physics::serialize(stream);
    if (!stream.isCurrentVersion())
        return;
    stream.transfer(strength);
}

NSClone::Cloneable* PhysicsWind::clone() const {
    auto* copy = new PhysicsWind(false);
    copy->copyFrom(this);
    return copy;
}

void PhysicsWind::copyFrom(const NSClone::Cloneable* source) {
    auto* src = dynamic_cast<const PhysicsWind*>(source);
    if (!src || src == this)
        return;
    Physics::copyFrom(source);
    strength = src->strength;
}

} // namespace NSPhysics

QBN_REGISTER_CLASS(CLASS_PHYSICS_WIND, NSPhysics::PhysicsWind)
