#include "physics/properties/PhysicsPropertyFriction.h"

#include "persistence/ClassIds.h"
#include "physics/Physics.h"

namespace NSPhysicsProperty {

PhysicsPropertyFriction::PhysicsPropertyFriction(bool full) : PhysicsProperty(full) {}

PhysicsPropertyFriction::PhysicsPropertyFriction(float effectivity) : PhysicsProperty(effectivity) {}

int PhysicsPropertyFriction::classId() const { return CLASS_PHYSICS_PROPERTY_FRICTION; }

int PhysicsPropertyFriction::kind() const { return NSPhysical::KIND_FRICTION; }

std::string PhysicsPropertyFriction::effectivityLabel() const { return "Friction Effectivity"; }

std::string PhysicsPropertyFriction::getMenuPicture() { return "physicspropertyfriction_pic.bmp"; }

NSClone::Cloneable* PhysicsPropertyFriction::clone() const {
    auto* copy = new PhysicsPropertyFriction(false);
    copy->copyFrom(this);
    return copy;
}

} // namespace NSPhysicsProperty

QBN_REGISTER_CLASS(CLASS_PHYSICS_PROPERTY_FRICTION, NSPhysicsProperty::PhysicsPropertyFriction)
