#include "physics/effects/PhysicsFriction.h"

#include <cmath>

#include "persistence/ClassIds.h"
#include "physics/NodePhysical.h"
#include "physics/PhysicsProperty.h"

namespace NSPhysics {

PhysicsFriction::PhysicsFriction(bool full) : Physics(full) {}

PhysicsFriction::PhysicsFriction(float linearFriction, float quadraticFriction)
    : Physics(true), linearFriction(linearFriction), quadraticFriction(quadraticFriction) {}

int PhysicsFriction::kind() const { return NSPhysical::KIND_FRICTION; }

Vector3 PhysicsFriction::computeForce(NSNode::NodePhysical* body, NSPhysical::PhysicsProperty* property) {
    if (!body || !property || property->kind() != kind())
        return Vector3();
    const Vector3 v = body->getVelocity();
    const float s = v.length();
    return (-v) * body->effectiveMass() *
           static_cast<float>(0.05 * quadraticFriction * s * s + linearFriction * s) * property->getEffectivity();
}

void PhysicsFriction::appendOwnMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool) {
    list.push_back(NSPhysical::rangeEntry(this, "Linear Friction", NSMenu::KIND_SLIDER, linearFriction, 0, 1, 0.0f,
                                          1.0f));
    list.push_back(NSPhysical::rangeEntry(this, "Quadratic Friction", NSMenu::KIND_SLIDER, quadraticFriction, 0, 1,
                                          0.0f, 1.0f));
}

Vector3 PhysicsFriction::getColour() const { return Vector3(0.7f, 0.7f, 0.7f); }

bool PhysicsFriction::setMenuValue(std::string label, NSMenu::Value value) {
    if (!std::isfinite(value.floatValue))
        return false;
    if (label == "Linear Friction") {
        linearFriction = value.floatValue;
        return true;
    }
    if (label == "Quadratic Friction") {
        quadraticFriction = value.floatValue;
        return true;
    }
    return Physics::setMenuValue(label, value);
}

NSMenu::Value PhysicsFriction::getMenuValue(std::string label) {
    if (label == "Linear Friction")
        return NSMenu::Value::ofFloat(linearFriction);
    if (label == "Quadratic Friction")
        return NSMenu::Value::ofFloat(quadraticFriction);
    return Physics::getMenuValue(label);
}

unsigned PhysicsFriction::getMenuFlags() { return 47u; }

std::string PhysicsFriction::getMenuPicture() { return "physicscold_pic.bmp"; }

int PhysicsFriction::classId() const { return CLASS_PHYSICS_FRICTION; }

void PhysicsFriction::serialize(NSSerialize::SerialStream& stream) {
    Physics::serialize(stream);
    if (!stream.isCurrentVersion())
        return;
    stream.transfer(linearFriction);
    stream.transfer(quadraticFriction);
}

NSClone::Cloneable* PhysicsFriction::clone() const { return NSClone::cloneOf(*this); }

void PhysicsFriction::copyFrom(const NSClone::Cloneable* source) {
    auto* src = dynamic_cast<const PhysicsFriction*>(source);
    if (!src || src == this)
        return;
    Physics::copyFrom(source);
    linearFriction = src->linearFriction;
    quadraticFriction = src->quadraticFriction;
}

} // namespace NSPhysics

QBN_REGISTER_CLASS(CLASS_PHYSICS_FRICTION, NSPhysics::PhysicsFriction)
