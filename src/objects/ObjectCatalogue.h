#pragma once
// The objects the level editor offers, by the names it shows, and making
// them through the class factory.
#include <string>
#include <utility>
#include <vector>

#include "objects/NodeGraphic.h"

namespace NSObjects {

// Display name and class id of every object the editor can create, in the
// order the menu lists them.
const std::vector<std::pair<std::string, int>>& creationList();

// The class id listed under displayName, or -1.
int creationClassId(const std::string& displayName);
// The display name of a class in the list, or "" for a class not in it.
std::string creationName(int classId);

// A new object (full construction) of the class listed under displayName;
// the caller owns it. Null for a name not in the list, or for a class the
// factory does not know (logged by the factory).
NSNode::NodeGraphic* createObject(const std::string& displayName);

} // namespace NSObjects
