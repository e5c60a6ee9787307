#include "physics/PhysicsProperty.h"

#include "persistence/ClassIds.h"

namespace NSPhysical {

PhysicsProperty::PhysicsProperty(bool full) {
    if (full)
        effectivity = 1.0f;
}

PhysicsProperty::PhysicsProperty(float effectivity) : effectivity(effectivity) {}

int PhysicsProperty::classId() const { return CLASS_PHYSICS_PROPERTY; }

void PhysicsProperty::serialize(NSSerialize::SerialStream& stream) {
    if (!stream.isCurrentVersion())
        return;
    stream.transfer(effectivity);
}

void PhysicsProperty::appendOwnMenuEntries(std::vector<NSMenu::MenuEntry>&, bool) {}

bool PhysicsProperty::setMenuValue(std::string, NSMenu::Value) { return false; }

NSMenu::Value PhysicsProperty::getMenuValue(std::string) { return NSMenu::Value(); }

void PhysicsProperty::getMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) {
    appendOwnMenuEntries(list, detailed);
}

unsigned PhysicsProperty::getMenuFlags() { return 65535; }

std::string PhysicsProperty::getMenuPicture() { return std::string(); }

void PhysicsProperty::copyFrom(const NSClone::Cloneable* source) {
    if (auto* p = dynamic_cast<const PhysicsProperty*>(source))
        effectivity = p->effectivity;
}

} // namespace NSPhysical
