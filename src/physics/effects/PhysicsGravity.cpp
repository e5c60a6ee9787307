#include "physics/effects/PhysicsGravity.h"

#include <cmath>

#include "persistence/ClassIds.h"
#include "physics/NodePhysical.h"
#include "physics/properties/PhysicsPropertyGravity.h"

namespace NSPhysics {

PhysicsGravity::PhysicsGravity(bool full) : Physics(full) {}

PhysicsGravity::PhysicsGravity(float dx, float dy, float dz, float acceleration)
    : Physics(dx, dy, dz), acceleration(acceleration), pointMode(false) {}

int PhysicsGravity::kind() const { return NSPhysical::KIND_GRAVITY; }

Vector3 PhysicsGravity::computeForce(NSNode::NodePhysical* body, NSPhysical::PhysicsProperty* property) {
    if (!body || !dynamic_cast<NSPhysicsProperty::PhysicsPropertyGravity*>(property))
        return Vector3();
    const float strength = property->getEffectivity() * body->effectiveMass() * acceleration * 10.0f;
    if (pointMode)
        return pointPull(body) * strength;
    Vector3 direction = forceDirection;
    return world(direction.normalize()) * strength;
}

void PhysicsGravity::appendOwnMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool) {
    list.push_back(NSPhysical::rangeEntry(this, "Acceleration", NSMenu::KIND_SLIDER, acceleration, -100, 100, -100.0f,
                                          100.0f));
    list.push_back(NSPhysical::boolEntry(this, "Directional", !pointMode));
}

Vector3 PhysicsGravity::getColour() const { return Vector3(0.0f, 0.0f, 0.0f); }

bool PhysicsGravity::setMenuValue(std::string label, NSMenu::Value value) {
    if (!std::isfinite(value.floatValue))
        return false;
    if (label == "Acceleration") {
        acceleration = value.floatValue;
        return true;
    }
    if (label == "Directional") {
        pointMode = !value.boolValue;
        markMenuForRebuild(); // the force direction lines come or go
        return true;
    }
    return Physics::setMenuValue(label, value);
}

NSMenu::Value PhysicsGravity::getMenuValue(std::string label) {
    if (label == "Acceleration")
        return NSMenu::Value::ofFloat(acceleration);
    if (label == "Directional")
        return NSMenu::Value::ofBool(!pointMode);
    return Physics::getMenuValue(label);
}

unsigned PhysicsGravity::getMenuFlags() { return pointMode ? 47u : 63u; }

std::string PhysicsGravity::getMenuPicture() { return "physicsgravity_pic.bmp"; }

int PhysicsGravity::classId() const { return CLASS_PHYSICS_GRAVITY; }

void PhysicsGravity::serialize(NSSerialize::SerialStream& stream) {
    Physics::serialize(stream);
    if (!stream.isCurrentVersion())
        return;
    stream.transfer(acceleration);
    stream.transfer(pointMode);
}

NSClone::Cloneable* PhysicsGravity::clone() const {
    auto* copy = new PhysicsGravity(false);
    copy->copyFrom(this);
    return copy;
}

void PhysicsGravity::copyFrom(const NSClone::Cloneable* source) {
    auto* src = dynamic_cast<const PhysicsGravity*>(source);
    if (!src || src == this)
        return;
    Physics::copyFrom(source);
    acceleration = src->acceleration;
    pointMode = src->pointMode;
}

} // namespace NSPhysics

QBN_REGISTER_CLASS(CLASS_PHYSICS_GRAVITY, NSPhysics::PhysicsGravity)
