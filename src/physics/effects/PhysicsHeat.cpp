#include "physics/effects/PhysicsHeat.h"

#include <cmath>

#include "persistence/ClassIds.h"
#include "physics/NodePhysical.h"
#include "physics/properties/PhysicsPropertyHeat.h"

namespace NSPhysics {

PhysicsHeat::PhysicsHeat(bool full) : Physics(full) {
    if (full)
        forceDirection = Vector3(1.0f, 0.0f, 0.0f);
}

int PhysicsHeat::kind() const { return NSPhysical::KIND_HEAT; }

Vector3 PhysicsHeat::computeForce(NSNode::NodePhysical* body, NSPhysical::PhysicsProperty* property) {
    if (!body || !dynamic_cast<NSPhysicsProperty::PhysicsPropertyHeat*>(property))
        return Vector3();
    return world(Vector3(1.0f, 0.0f, 0.0f) * (property->getEffectivity() * intensity));
}

void PhysicsHeat::appendOwnMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool) {
    list.push_back(NSPhysical::rangeEntry(this, "Heat Intensity", NSMenu::KIND_SLIDER, intensity, -100, 100, -100.0f,
                                          100.0f));
}

Vector3 PhysicsHeat::getColour() const { return Vector3(1.0f, 0.2f, 0.2f); }

bool PhysicsHeat::setMenuValue(std::string label, NSMenu::Value value) {
    if (!std::isfinite(value.floatValue))
        return false;
    if (label == "Heat Intensity") {
        intensity = value.floatValue;
        return true;
    }
    return Physics::setMenuValue(label, value);
}

NSMenu::Value PhysicsHeat::getMenuValue(std::string label) {
    if (label == "Heat Intensity")
        return NSMenu::Value::ofFloat(intensity);
    return Physics::getMenuValue(label);
}

unsigned PhysicsHeat::getMenuFlags() { return 65535u; }

std::string PhysicsHeat::getMenuPicture() { return "physicsheat_pic.bmp"; }

int PhysicsHeat::classId() const { return CLASS_PHYSICS_HEAT; }

void PhysicsHeat::serialize(NSSerialize::SerialStream& stream) {
    Physics::serialize(stream);
    if (!stream.isCurrentVersion())
        return;
    stream.transfer(intensity);
}

NSClone::Cloneable* PhysicsHeat::clone() const {
    auto* copy = new PhysicsHeat(false);
    copy->copyFrom(this);
    return copy;
}

void PhysicsHeat::copyFrom(const NSClone::Cloneable* source) {
    auto* src = dynamic_cast<const PhysicsHeat*>(source);
    if (!src || src == this)
        return;
    Physics::copyFrom(source);
    intensity = src->intensity;
}

} // namespace NSPhysics

QBN_REGISTER_CLASS(CLASS_PHYSICS_HEAT, NSPhysics::PhysicsHeat)
