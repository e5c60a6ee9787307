#include "physics/properties/PhysicsPropertyMagnetic.h"

#include "persistence/ClassIds.h"
#include "physics/Physics.h"

namespace NSPhysicsProperty {

PhysicsPropertyMagnetic::PhysicsPropertyMagnetic(bool full) : PhysicsProperty(full) {}

PhysicsPropertyMagnetic::PhysicsPropertyMagnetic(float effectivity) : PhysicsProperty(effectivity) {}

int PhysicsPropertyMagnetic::classId() const { return CLASS_PHYSICS_PROPERTY_MAGNETIC; }

int PhysicsPropertyMagnetic::kind() const { return NSPhysical::KIND_MAGNETIC; }

std::string PhysicsPropertyMagnetic::effectivityLabel() const { return "Magnetic Effectivity"; }

std::string PhysicsPropertyMagnetic::getMenuPicture() { return "physicspropertymagnetic_pic.bmp"; }

NSClone::Cloneable* PhysicsPropertyMagnetic::clone() const {
    auto* copy = new PhysicsPropertyMagnetic(false);
    copy->copyFrom(this);
    return copy;
}

} // namespace NSPhysicsProperty

QBN_REGISTER_CLASS(CLASS_PHYSICS_PROPERTY_MAGNETIC, NSPhysicsProperty::PhysicsPropertyMagnetic)
