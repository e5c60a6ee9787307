#pragma once
// The effects and properties a body can take, by the names the menu and the
// files give them. Fixed when the program starts.
#include <string>
#include <utility>
#include <vector>

#include "physics/Physics.h"
#include "physics/PhysicsProperty.h"

namespace NSPhysical {

class PhysicsCatalogue {
public:
    using TypeTable = std::vector<std::pair<std::string, int>>;

    static const PhysicsCatalogue& get();

    const TypeTable& getPhysicsTypes() const { return physicsTypes; }
    const TypeTable& getPropertyTypes() const { return propertyTypes; }
    // New effect or property by its name in the tables; null for an unknown name.
    Physics* createPhysics(const std::string& name) const;
    PhysicsProperty* createProperty(const std::string& name) const;
    // The name an effect or property class goes by in the tables ("" if none).
    std::string physicsName(int classId) const;
    std::string propertyName(int classId) const;

private:
    PhysicsCatalogue();

    TypeTable physicsTypes;
    TypeTable propertyTypes;
};

} // namespace NSPhysical
