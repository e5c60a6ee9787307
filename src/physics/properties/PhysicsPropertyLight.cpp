#include "physics/properties/PhysicsPropertyLight.h"

#include "persistence/ClassIds.h"
#include "physics/Physics.h"

namespace NSPhysicsProperty {

PhysicsPropertyLight::PhysicsPropertyLight(bool full) : PhysicsProperty(full) {}

PhysicsPropertyLight::PhysicsPropertyLight(float effectivity) : PhysicsProperty(effectivity) {}

int PhysicsPropertyLight::classId() const { return CLASS_PHYSICS_PROPERTY_LIGHT; }

int PhysicsPropertyLight::kind() const { return NSPhysical::KIND_LIGHT; }

std::string PhysicsPropertyLight::effectivityLabel() const { return "Light Effectivity"; }

std::string PhysicsPropertyLight::getMenuPicture() { return "physicspropertylight_pic.bmp"; }

NSClone::Cloneable* PhysicsPropertyLight::clone() const {
    auto* copy = new PhysicsPropertyLight(false);
    copy->copyFrom(this);
    return copy;
}

} // namespace NSPhysicsProperty

QBN_REGISTER_CLASS(CLASS_PHYSICS_PROPERTY_LIGHT, NSPhysicsProperty::PhysicsPropertyLight)
