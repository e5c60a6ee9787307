#include "physics/properties/PhysicsPropertyOfKind.h"

#include "persistence/ClassIds.h"

namespace NSPhysicsProperty {

namespace {

const PhysicsPropertyOfKind::Row kRows[] = {
    {NSPhysical::KIND_GRAVITY, CLASS_PHYSICS_PROPERTY_GRAVITY, "Gravity Effectivity", "physicspropertygravity_pic.bmp"},
    {NSPhysical::KIND_FRICTION, CLASS_PHYSICS_PROPERTY_FRICTION, "Friction Effectivity",
     "physicspropertyfriction_pic.bmp"},
    {NSPhysical::KIND_WIND, CLASS_PHYSICS_PROPERTY_WIND, "Wind Effectivity", "physicspropertywind_pic.bmp"},
    {NSPhysical::KIND_CONSTANT_MOVEMENT, CLASS_PHYSICS_PROPERTY_CONSTANT_MOVEMENT, "Move. Effectivity",
     "physicspropertyconstantmovement_pic.bmp"},
    {NSPhysical::KIND_MAGNETIC, CLASS_PHYSICS_PROPERTY_MAGNETIC, "Magnetic Effectivity",
     "physicspropertymagnetic_pic.bmp"},
    {NSPhysical::KIND_LIGHT, CLASS_PHYSICS_PROPERTY_LIGHT, "Light Effectivity", "physicspropertylight_pic.bmp"},
    {NSPhysical::KIND_HEAT, CLASS_PHYSICS_PROPERTY_HEAT, "Heat Effectivity", "physicspropertyheat_pic.bmp"},
    {NSPhysical::KIND_COLD, CLASS_PHYSICS_PROPERTY_COLD, "Cold Effectivity", "physicspropertycold_pic.bmp"},
};

const PhysicsPropertyOfKind::Row* rowOf(int kind) {
    for (const PhysicsPropertyOfKind::Row& row : kRows)
        if (row.kind == kind)
            return &row;
    return &kRows[0];
}

} // namespace

PhysicsPropertyOfKind::PhysicsPropertyOfKind(int kind, bool full) : PhysicsProperty(full), row(rowOf(kind)) {}

PhysicsPropertyOfKind::PhysicsPropertyOfKind(int kind, float effectivity)
    : PhysicsProperty(effectivity), row(rowOf(kind)) {}

int PhysicsPropertyOfKind::classId() const { return row->classId; }

int PhysicsPropertyOfKind::kind() const { return row->kind; }

std::string PhysicsPropertyOfKind::effectivityLabel() const { return row->label; }

std::string PhysicsPropertyOfKind::getMenuPicture() { return row->picture; }

NSClone::Cloneable* PhysicsPropertyOfKind::clone() const {
    auto* copy = new PhysicsPropertyOfKind(row->kind, false);
    copy->copyFrom(this);
    return copy;
}

void PhysicsPropertyOfKind::copyFrom(const NSClone::Cloneable* source) {
    auto* p = dynamic_cast<const PhysicsPropertyOfKind*>(source);
    if (p && p->row == row)
        effectivity = p->effectivity;
}

} // namespace NSPhysicsProperty

QBN_REGISTER_CLASS(CLASS_PHYSICS_PROPERTY_GRAVITY, NSPhysicsProperty::PhysicsPropertyGravity)
QBN_REGISTER_CLASS(CLASS_PHYSICS_PROPERTY_FRICTION, NSPhysicsProperty::PhysicsPropertyFriction)
QBN_REGISTER_CLASS(CLASS_PHYSICS_PROPERTY_WIND, NSPhysicsProperty::PhysicsPropertyWind)
QBN_REGISTER_CLASS(CLASS_PHYSICS_PROPERTY_CONSTANT_MOVEMENT, NSPhysicsProperty::PhysicsPropertyConstantMovement)
QBN_REGISTER_CLASS(CLASS_PHYSICS_PROPERTY_MAGNETIC, NSPhysicsProperty::PhysicsPropertyMagnetic)
QBN_REGISTER_CLASS(CLASS_PHYSICS_PROPERTY_LIGHT, NSPhysicsProperty::PhysicsPropertyLight)
QBN_REGISTER_CLASS(CLASS_PHYSICS_PROPERTY_HEAT, NSPhysicsProperty::PhysicsPropertyHeat)
QBN_REGISTER_CLASS(CLASS_PHYSICS_PROPERTY_COLD, NSPhysicsProperty::PhysicsPropertyCold)
