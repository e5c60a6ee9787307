#include "physics/effects/PhysicsMagnetic.h"

#include <cmath>

#include "persistence/ClassIds.h"
#include "physics/NodePhysical.h"
#include "physics/properties/PhysicsPropertyMagnetic.h"

namespace NSPhysics {

PhysicsMagnetic::PhysicsMagnetic(bool full) : Physics(full) {
    if (full)
        forceDirection = Vector3(1.0f, 0.0f, 0.0f);
}

int PhysicsMagnetic::kind() const { return NSPhysical::KIND_MAGNETIC; }

Vector3 PhysicsMagnetic::computeForce(NSNode::NodePhysical* body, NSPhysical::PhysicsProperty* property) {
    if (!body || !dynamic_cast<NSPhysicsProperty::PhysicsPropertyMagnetic*>(property))
        return Vector3();
    const float factor = property->getEffectivity() * strength * 10.0f;
    if (pointMode)
        return pointPull(body) * factor;
    Vector3 direction = forceDirection;
    return world(direction.normalize()) * factor;
}

void PhysicsMagnetic::appendOwnMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool) {
    list.push_back(NSPhysical::rangeEntry(this, "Magnetic Strength", NSMenu::KIND_SLIDER, strength, -100, 100,
                                          -100.0f, 100.0f));
    list.push_back(NSPhysical::boolEntry(this, "Directional", !pointMode));
}

Vector3 PhysicsMagnetic::getColour() const { return Vector3(1.0f, 0.3f, 1.0f); }

bool PhysicsMagnetic::setMenuValue(std::string label, NSMenu::Value value) {
    if (!std::isfinite(value.floatValue))
        return false;
    if (label == "Magnetic Strength") {
        strength = value.floatValue;
        return true;
    }
    if (label == "Directional") {
        pointMode = !value.boolValue;
        markMenuForRebuild(); // the force direction lines come or go
        return true;
    }
    return Physics::setMenuValue(label, value);
}

NSMenu::Value PhysicsMagnetic::getMenuValue(std::string label) {
    if (label == "Magnetic Strength")
        return NSMenu::Value::ofFloat(strength);
    if (label == "Directional")
        return NSMenu::Value::ofBool(!pointMode);
    return Physics::getMenuValue(label);
}

unsigned PhysicsMagnetic::getMenuFlags() { return pointMode ? 47u : 63u; }

std::string PhysicsMagnetic::getMenuPicture() { return "physicsmagnetic_pic.bmp"; }

int PhysicsMagnetic::classId() const { return CLASS_PHYSICS_MAGNETIC; }

void PhysicsMagnetic::serialize(NSSerialize::SerialStream& stream) {
    Physics::serialize(stream);
    if (!stream.isCurrentVersion())
        return;
    stream.transfer(strength);
    stream.transfer(pointMode);
}

NSClone::Cloneable* PhysicsMagnetic::clone() const {
    auto* copy = new PhysicsMagnetic(false);
    copy->copyFrom(this);
    return copy;
}

void PhysicsMagnetic::copyFrom(const NSClone::Cloneable* source) {
    auto* src = dynamic_cast<const PhysicsMagnetic*>(source);
    if (!src || src == this)
        return;
    Physics::copyFrom(source);
    strength = src->strength;
    pointMode = src->pointMode;
}

} // namespace NSPhysics

QBN_REGISTER_CLASS(CLASS_PHYSICS_MAGNETIC, NSPhysics::PhysicsMagnetic)
