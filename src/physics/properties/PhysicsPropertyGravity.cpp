#include "physics/properties/PhysicsPropertyGravity.h"

#include "persistence/ClassIds.h"
#include "physics/Physics.h"

namespace NSPhysicsProperty {

PhysicsPropertyGravity::PhysicsPropertyGravity(bool full) : PhysicsProperty(full) {}

PhysicsPropertyGravity::PhysicsPropertyGravity(float effectivity) : PhysicsProperty(effectivity) {}

int PhysicsPropertyGravity::classId() const { return CLASS_PHYSICS_PROPERTY_GRAVITY; }

int PhysicsPropertyGravity::kind() const { return NSPhysical::KIND_GRAVITY; }

std::string PhysicsPropertyGravity::effectivityLabel() const { return "Gravity Effectivity"; }

std::string PhysicsPropertyGravity::getMenuPicture() { return "physicspropertygravity_pic.bmp"; }

NSClone::Cloneable* PhysicsPropertyGravity::clone() const {
    auto* copy = new PhysicsPropertyGravity(false);
    copy->copyFrom(this);
    return copy;
}

} // namespace NSPhysicsProperty

QBN_REGISTER_CLASS(CLASS_PHYSICS_PROPERTY_GRAVITY, NSPhysicsProperty::PhysicsPropertyGravity)
