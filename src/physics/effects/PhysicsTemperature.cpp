#include "physics/effects/PhysicsTemperature.h"

#include "persistence/ClassIds.h"
#include "physics/NodePhysical.h"
#include "physics/PhysicsProperty.h"

namespace NSPhysics {

namespace {

const PhysicsTemperature::Row kRows[] = {
    {NSPhysical::KIND_COLD, CLASS_PHYSICS_COLD, "Cold Intensity", Vector3(0.3f, 0.3f, 1.0f), "physicscold_pic.bmp"},
    {NSPhysical::KIND_HEAT, CLASS_PHYSICS_HEAT, "Heat Intensity", Vector3(1.0f, 0.2f, 0.2f), "physicsheat_pic.bmp"},
};

const PhysicsTemperature::Row* rowOf(int kind) { return kind == NSPhysical::KIND_HEAT ? &kRows[1] : &kRows[0]; }

} // namespace

PhysicsTemperature::PhysicsTemperature(int kind, bool full)
    : PhysicsSingleValue(full, rowOf(kind)->label, 1.0f), row(rowOf(kind)) {
    if (full)
        forceDirection = Vector3(1.0f, 0.0f, 0.0f);
}

int PhysicsTemperature::kind() const { return row->kind; }

Vector3 PhysicsTemperature::computeForce(NSNode::NodePhysical* body, NSPhysical::PhysicsProperty* property) {
    if (!body || !property || property->kind() != kind())
        return Vector3();
    return world(Vector3(1.0f, 0.0f, 0.0f) * (property->getEffectivity() * value));
}

Vector3 PhysicsTemperature::getColour() const { return row->colour; }

std::string PhysicsTemperature::getMenuPicture() { return row->picture; }

int PhysicsTemperature::classId() const { return row->classId; }

NSClone::Cloneable* PhysicsTemperature::clone() const {
    auto* copy = new PhysicsTemperature(row->kind, false);
    copy->copyFrom(this);
    return copy;
}

void PhysicsTemperature::copyFrom(const NSClone::Cloneable* source) {
    auto* other = dynamic_cast<const PhysicsTemperature*>(source);
    if (other && other->row == row)
        PhysicsSingleValue::copyFrom(source);
}

} // namespace NSPhysics

QBN_REGISTER_CLASS(CLASS_PHYSICS_COLD, NSPhysics::PhysicsCold)
QBN_REGISTER_CLASS(CLASS_PHYSICS_HEAT, NSPhysics::PhysicsHeat)
