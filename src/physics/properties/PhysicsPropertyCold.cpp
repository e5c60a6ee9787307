#include "physics/properties/PhysicsPropertyCold.h"

#include "persistence/ClassIds.h"
#include "physics/Physics.h"

namespace NSPhysicsProperty {

PhysicsPropertyCold::PhysicsPropertyCold(bool full) : PhysicsProperty(full) {}

PhysicsPropertyCold::PhysicsPropertyCold(float effectivity) : PhysicsProperty(effectivity) {}

int PhysicsPropertyCold::classId() const { return CLASS_PHYSICS_PROPERTY_COLD; }

int PhysicsPropertyCold::kind() const { return NSPhysical::KIND_COLD; }

std::string PhysicsPropertyCold::effectivityLabel() const { return "Cold Effectivity"; }

std::string PhysicsPropertyCold::getMenuPicture() { return "physicspropertycold_pic.bmp"; }

NSClone::Cloneable* PhysicsPropertyCold::clone() const {
    auto* copy = new PhysicsPropertyCold(false);
    copy->copyFrom(this);
    return copy;
}

} // namespace NSPhysicsProperty

QBN_REGISTER_CLASS(CLASS_PHYSICS_PROPERTY_COLD, NSPhysicsProperty::PhysicsPropertyCold)
