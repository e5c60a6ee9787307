#include "physics/Physics.h"

#include "persistence/ClassIds.h"
#include "physics/NodePhysical.h"

namespace NSPhysical {

Physics::Physics(bool full) : NodeTransform(full) {}

Physics::Physics(float dx, float dy, float dz) : NodeTransform(true), forceDirection(dx, dy, dz) {}

void Physics::setOwner(NSNode::NodeTransform* node) {
    setParent(node);
    owner = dynamic_cast<NSNode::NodePhysical*>(node);
}

void Physics::appendOwnMenuEntries(std::vector<NSMenu::MenuEntry>&, bool) {}

int Physics::classId() const { return CLASS_PHYSICS; }

bool Physics::setMenuValue(std::string, NSMenu::Value) { return false; }

NSMenu::Value Physics::getMenuValue(std::string) { return NSMenu::Value(); }

void Physics::getMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) {
    appendOwnMenuEntries(list, detailed);
}

unsigned Physics::getMenuFlags() { return 65535; }

std::string Physics::getMenuPicture() { return std::string(); }

} // namespace NSPhysical
