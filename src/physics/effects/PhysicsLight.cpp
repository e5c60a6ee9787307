#include "physics/effects/PhysicsLight.h"

#include <cmath>

#include "persistence/ClassIds.h"
#include "physics/NodePhysical.h"
#include "physics/properties/PhysicsPropertyLight.h"

namespace NSPhysics {

PhysicsLight::PhysicsLight(bool full) : Physics(full) {
    if (full)
        forceDirection = Vector3(1.0f, 0.0f, 0.0f);
}

int PhysicsLight::kind() const { return NSPhysical::KIND_LIGHT; }

Vector3 PhysicsLight::computeForce(NSNode::NodePhysical* body, NSPhysical::PhysicsProperty* property) {
    if (!body || !dynamic_cast<NSPhysicsProperty::PhysicsPropertyLight*>(property))
        return Vector3();
    const float d = length(ownerPosition() - body->worldPosition());
    if (!(d >= kMinPointDistance)) // on the owner itself: see kMinPointDistance
        return Vector3();
    return world(Vector3(1.0f, 0.0f, 0.0f) * (property->getEffectivity() * intensity * (1 / (d * d))));
}

void PhysicsLight::appendOwnMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool) {
    list.push_back(NSPhysical::rangeEntry(this, "Light Intensity", NSMenu::KIND_SLIDER, intensity, -100, 100, -100.0f,
                                          100.0f));
}

Vector3 PhysicsLight::getColour() const { return Vector3(1.0f, 1.0f, 0.0f); }

bool PhysicsLight::setMenuValue(std::string label, NSMenu::Value value) {
    if (!std::isfinite(value.floatValue))
        return false;
    if (label == "Light Intensity") {
        intensity = value.floatValue;
        return true;
    }
    return Physics::setMenuValue(label, value);
}

NSMenu::Value PhysicsLight::getMenuValue(std::string label) {
    if (label == "Light Intensity")
        return NSMenu::Value::ofFloat(intensity);
    return Physics::getMenuValue(label);
}

unsigned PhysicsLight::getMenuFlags() { return 65535u; }

std::string PhysicsLight::getMenuPicture() { return "physicslight_pic.bmp"; }

int PhysicsLight::classId() const { return CLASS_PHYSICS_LIGHT; }

void PhysicsLight::serialize(NSSerialize::SerialStream& stream) {
    Physics::serialize(stream);
    if (!stream.isCurrentVersion())
        return;
    stream.transfer(intensity);
}

NSClone::Cloneable* PhysicsLight::clone() const {
    auto* copy = new PhysicsLight(false);
    copy->copyFrom(this);
    return copy;
}

void PhysicsLight::copyFrom(const NSClone::Cloneable* source) {
    auto* src = dynamic_cast<const PhysicsLight*>(source);
    if (!src || src == this)
        return;
    Physics::copyFrom(source);
    intensity = src->intensity;
}

} // namespace NSPhysics

QBN_REGISTER_CLASS(CLASS_PHYSICS_LIGHT, NSPhysics::PhysicsLight)
