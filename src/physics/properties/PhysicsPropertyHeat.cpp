#include "physics/properties/PhysicsPropertyHeat.h"

#include "persistence/ClassIds.h"
#include "physics/Physics.h"

namespace NSPhysicsProperty {

PhysicsPropertyHeat::PhysicsPropertyHeat(bool full) : PhysicsProperty(full) {}

PhysicsPropertyHeat::PhysicsPropertyHeat(float effectivity) : PhysicsProperty(effectivity) {}

int PhysicsPropertyHeat::classId() const { return CLASS_PHYSICS_PROPERTY_HEAT; }

int PhysicsPropertyHeat::kind() const { return NSPhysical::KIND_HEAT; }

std::string PhysicsPropertyHeat::effectivityLabel() const { return "Heat Effectivity"; }

std::string PhysicsPropertyHeat::getMenuPicture() { return "physicspropertyheat_pic.bmp"; }

NSClone::Cloneable* PhysicsPropertyHeat::clone() const {
    auto* copy = new PhysicsPropertyHeat(false);
    copy->copyFrom(this);
    return copy;
}

} // namespace NSPhysicsProperty

QBN_REGISTER_CLASS(CLASS_PHYSICS_PROPERTY_HEAT, NSPhysicsProperty::PhysicsPropertyHeat)
