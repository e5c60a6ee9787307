#include "physics/effects/PhysicsCold.h"

#include <cmath>

#include "persistence/ClassIds.h"
#include "physics/NodePhysical.h"
#include "physics/properties/PhysicsPropertyCold.h"

namespace NSPhysics {

PhysicsCold::PhysicsCold(bool full) : Physics(full) {
    if (full)
        forceDirection = Vector3(1.0f, 0.0f, 0.0f);
}

int PhysicsCold::kind() const { return NSPhysical::KIND_COLD; }

Vector3 PhysicsCold::computeForce(NSNode::NodePhysical* body, NSPhysical::PhysicsProperty* property) {
    if (!body || !dynamic_cast<NSPhysicsProperty::PhysicsPropertyCold*>(property))
        return Vector3();
    return world(Vector3(1.0f, 0.0f, 0.0f) * (property->getEffectivity() * intensity));
}

void PhysicsCold::appendOwnMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool) {
    list.push_back(NSPhysical::rangeEntry(this, "Cold Intensity", NSMenu::KIND_SLIDER, intensity, -100, 100, -100.0f,
                                          100.0f));
}

Vector3 PhysicsCold::getColour() const { return Vector3(0.3f, 0.3f, 1.0f); }

bool PhysicsCold::setMenuValue(std::string label, NSMenu::Value value) {
    if (!std::isfinite(value.floatValue))
        return false;
    if (label == "Cold Intensity") {
        intensity = value.floatValue;
        return true;
    }
    return Physics::setMenuValue(label, value);
}

NSMenu::Value PhysicsCold::getMenuValue(std::string label) {
    if (label == "Cold Intensity")
        return NSMenu::Value::ofFloat(intensity);
    return Physics::getMenuValue(label);
}

unsigned PhysicsCold::getMenuFlags() { return 65535u; }

std::string PhysicsCold::getMenuPicture() { return "physicscold_pic.bmp"; }

int PhysicsCold::classId() const { return CLASS_PHYSICS_COLD; }

void PhysicsCold::serialize(NSSerialize::SerialStream& stream) {
    Physics::serialize(stream);
    if (!stream.isCurrentVersion())
        return;
    stream.transfer(intensity);
}

NSClone::Cloneable* PhysicsCold::clone() const {
    auto* copy = new PhysicsCold(false);
    copy->copyFrom(this);
    return copy;
}

void PhysicsCold::copyFrom(const NSClone::Cloneable* source) {
    auto* src = dynamic_cast<const PhysicsCold*>(source);
    if (!src || src == this)
        return;
    Physics::copyFrom(source);
    intensity = src->intensity;
}

} // namespace NSPhysics

QBN_REGISTER_CLASS(CLASS_PHYSICS_COLD, NSPhysics::PhysicsCold)
