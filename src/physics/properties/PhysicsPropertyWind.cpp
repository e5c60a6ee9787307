#include "physics/properties/PhysicsPropertyWind.h"

#include "persistence/ClassIds.h"
#include "physics/Physics.h"

namespace NSPhysicsProperty {

PhysicsPropertyWind::PhysicsPropertyWind(bool full) : PhysicsProperty(full) {}

PhysicsPropertyWind::PhysicsPropertyWind(float effectivity) : PhysicsProperty(effectivity) {}

int PhysicsPropertyWind::classId() const { return CLASS_PHYSICS_PROPERTY_WIND; }

int PhysicsPropertyWind::kind() const { return NSPhysical::KIND_WIND; }

std::string PhysicsPropertyWind::effectivityLabel() const { return "Wind Effectivity"; }

std::string PhysicsPropertyWind::getMenuPicture() { return "physicspropertywind_pic.bmp"; }

NSClone::Cloneable* PhysicsPropertyWind::clone() const {
    auto* copy = new PhysicsPropertyWind(false);
    copy->copyFrom(this);
    return copy;
}

} // namespace NSPhysicsProperty

QBN_REGISTER_CLASS(CLASS_PHYSICS_PROPERTY_WIND, NSPhysicsProperty::PhysicsPropertyWind)
