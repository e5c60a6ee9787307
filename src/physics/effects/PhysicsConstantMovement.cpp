#include "physics/effects/PhysicsConstantMovement.h"

#include <cmath>

#include "persistence/ClassIds.h"
#include "physics/NodePhysical.h"
#include "physics/PhysicsProperty.h"

namespace NSPhysics {

PhysicsConstantMovement::PhysicsConstantMovement(bool full) : Physics(full) {
    if (full)
        forceDirection = Vector3(0.0f, 0.0f, 1.0f);
}

PhysicsConstantMovement::PhysicsConstantMovement(float dx, float dy, float dz, float speed)
    : Physics(dx, dy, dz), speed(speed) {}

int PhysicsConstantMovement::kind() const { return NSPhysical::KIND_CONSTANT_MOVEMENT; }

Vector3 PhysicsConstantMovement::computeForce(NSNode::NodePhysical* body, NSPhysical::PhysicsProperty* property) {
    if (!body || !property || property->kind() != kind())
        return Vector3();
    const Vector3 d = world(Vector3(forceDirection).normalize());
    const Vector3 u = world(Vector3(0.0f, 1.0f, 0.0f));
    const Vector3 c = cross(d, u).normalize();
    const Vector3 v = body->getVelocity();
    const float a1 = dot(d, v);
    const float a2 = dot(c, v);
    return (d * (property->getEffectivity() * speed) - d * a1 - c * a2) * body->effectiveMass();
}

void PhysicsConstantMovement::appendOwnMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool) {
    list.push_back(NSPhysical::rangeEntry(this, "Movement Speed", NSMenu::KIND_SLIDER, speed, -1000, 1000, -1000.0f,
                                          1000.0f));
}

Vector3 PhysicsConstantMovement::getColour() const { return Vector3(0.0f, 1.0f, 0.0f); }

bool PhysicsConstantMovement::setMenuValue(std::string label, NSMenu::Value value) {
    if (!std::isfinite(value.floatValue))
        return false;
    if (label == "Movement Speed") {
        speed = value.floatValue;
        return true;
    }
    return Physics::setMenuValue(label, value);
}

NSMenu::Value PhysicsConstantMovement::getMenuValue(std::string label) {
    if (label == "Movement Speed")
        return NSMenu::Value::ofFloat(speed);
    return Physics::getMenuValue(label);
}

unsigned PhysicsConstantMovement::getMenuFlags() { return 65535u; }

std::string PhysicsConstantMovement::getMenuPicture() { return "physicsconstantmovement_pic.bmp"; }

int PhysicsConstantMovement::classId() const { return CLASS_PHYSICS_CONSTANT_MOVEMENT; }

void PhysicsConstantMovement::serialize(NSSerialize::SerialStream& stream) {
    Physics::serialize(stream);
    if (!stream.isCurrentVersion())
        return;
    stream.transfer(speed);
}

NSClone::Cloneable* PhysicsConstantMovement::clone() const { return NSClone::cloneOf(*this); }

void PhysicsConstantMovement::copyFrom(const NSClone::Cloneable* source) {
    auto* src = dynamic_cast<const PhysicsConstantMovement*>(source);
    if (!src || src == this)
        return;
    Physics::copyFrom(source);
    speed = src->speed;
}

} // namespace NSPhysics

QBN_REGISTER_CLASS(CLASS_PHYSICS_CONSTANT_MOVEMENT, NSPhysics::PhysicsConstantMovement)
