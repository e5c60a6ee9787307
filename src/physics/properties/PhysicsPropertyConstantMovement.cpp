#include "physics/properties/PhysicsPropertyConstantMovement.h"

#include "persistence/ClassIds.h"
#include "physics/Physics.h"

namespace NSPhysicsProperty {

PhysicsPropertyConstantMovement::PhysicsPropertyConstantMovement(bool full) : PhysicsProperty(full) {}

PhysicsPropertyConstantMovement::PhysicsPropertyConstantMovement(float effectivity) : PhysicsProperty(effectivity) {}

int PhysicsPropertyConstantMovement::classId() const { return CLASS_PHYSICS_PROPERTY_CONSTANT_MOVEMENT; }

int PhysicsPropertyConstantMovement::kind() const { return NSPhysical::KIND_CONSTANT_MOVEMENT; }

std::string PhysicsPropertyConstantMovement::effectivityLabel() const { return "Move. Effectivity"; }

std::string PhysicsPropertyConstantMovement::getMenuPicture() { return "physicspropertyconstantmovement_pic.bmp"; }

NSClone::Cloneable* PhysicsPropertyConstantMovement::clone() const {
    auto* copy = new PhysicsPropertyConstantMovement(false);
    copy->copyFrom(this);
    return copy;
}

} // namespace NSPhysicsProperty

QBN_REGISTER_CLASS(CLASS_PHYSICS_PROPERTY_CONSTANT_MOVEMENT, NSPhysicsProperty::PhysicsPropertyConstantMovement)
