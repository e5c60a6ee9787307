#include "physics/properties/PhysicsPropertyElectricity.h"

#include <cmath>

#include "persistence/ClassIds.h"
#include "physics/Physics.h"

namespace NSPhysicsProperty {

PhysicsPropertyElectricity::PhysicsPropertyElectricity(bool full) : PhysicsProperty(full) {}

PhysicsPropertyElectricity::PhysicsPropertyElectricity(float minUse, float maxUse)
    : PhysicsProperty(minUse), maxUse(maxUse) {}

int PhysicsPropertyElectricity::classId() const { return CLASS_PHYSICS_PROPERTY_ELECTRICITY; }

int PhysicsPropertyElectricity::kind() const { return NSPhysical::KIND_ELECTRICITY; }

void PhysicsPropertyElectricity::serialize(NSSerialize::SerialStream& stream) {
    PhysicsProperty::serialize(stream);
    if (!stream.isCurrentVersion())
        return;
    stream.transfer(maxUse);
}

void PhysicsPropertyElectricity::appendOwnMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool) {
    list.push_back(NSPhysical::rangeEntry(this, "Minimum Use", NSMenu::KIND_INPUT, effectivity, 0, 99999, 0.0f,
                                          99999.0f));
    list.push_back(
        NSPhysical::rangeEntry(this, "Maximum Use", NSMenu::KIND_INPUT, maxUse, 0, 99999, 0.0f, 99999.0f));
}

std::string PhysicsPropertyElectricity::effectivityLabel() const { return "Minimum Use"; }

bool PhysicsPropertyElectricity::setMenuValue(std::string label, NSMenu::Value value) {
    if (label == "Maximum Use") {
        if (!std::isfinite(value.floatValue))
            return false;
        maxUse = value.floatValue;
        return true;
    }
    return PhysicsProperty::setMenuValue(label, value);
}

NSMenu::Value PhysicsPropertyElectricity::getMenuValue(std::string label) {
    if (label == "Maximum Use")
        return NSMenu::Value::ofFloat(maxUse);
    return PhysicsProperty::getMenuValue(label);
}

std::string PhysicsPropertyElectricity::getMenuPicture() { return "physicspropertyelectricity_pic.bmp"; }

NSClone::Cloneable* PhysicsPropertyElectricity::clone() const { return NSClone::cloneOf(*this); }

void PhysicsPropertyElectricity::copyFrom(const NSClone::Cloneable* source) {
    auto* src = dynamic_cast<const PhysicsPropertyElectricity*>(source);
    if (!src)
        return;
    PhysicsProperty::copyFrom(source);
    maxUse = src->maxUse;
}

} // namespace NSPhysicsProperty

QBN_REGISTER_CLASS(CLASS_PHYSICS_PROPERTY_ELECTRICITY, NSPhysicsProperty::PhysicsPropertyElectricity)
