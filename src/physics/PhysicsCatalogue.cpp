#include "physics/PhysicsCatalogue.h"

#include "persistence/ClassIds.h"
#include "persistence/Serializeable.h"

namespace NSPhysical {

namespace {

int lookUp(const PhysicsCatalogue::TypeTable& table, const std::string& name) {
    for (const auto& entry : table)
        if (entry.first == name)
            return entry.second;
    return -1;
}

} // namespace

const PhysicsCatalogue& PhysicsCatalogue::get() {
    static const PhysicsCatalogue catalogue;
    return catalogue;
}

PhysicsCatalogue::PhysicsCatalogue()
    : physicsTypes{{"Gravity", CLASS_PHYSICS_GRAVITY},
                   {"Electricity", CLASS_PHYSICS_ELECTRICITY},
                   {"Cold", CLASS_PHYSICS_COLD},
                   {"Movement", CLASS_PHYSICS_CONSTANT_MOVEMENT},
                   {"Friction", CLASS_PHYSICS_FRICTION},
                   {"Heat", CLASS_PHYSICS_HEAT},
                   {"Light", CLASS_PHYSICS_LIGHT},
                   {"Magnetic", CLASS_PHYSICS_MAGNETIC},
                   {"Wind", CLASS_PHYSICS_WIND}},
      propertyTypes{{"Cold", CLASS_PHYSICS_PROPERTY_COLD},
                    {"Movement", CLASS_PHYSICS_PROPERTY_CONSTANT_MOVEMENT},
                    {"Electricity", CLASS_PHYSICS_PROPERTY_ELECTRICITY},
                    {"Friction", CLASS_PHYSICS_PROPERTY_FRICTION},
                    {"Gravity", CLASS_PHYSICS_PROPERTY_GRAVITY},
                    {"Heat", CLASS_PHYSICS_PROPERTY_HEAT},
                    {"Light", CLASS_PHYSICS_PROPERTY_LIGHT},
                    {"Magnetic", CLASS_PHYSICS_PROPERTY_MAGNETIC},
                    {"Wind", CLASS_PHYSICS_PROPERTY_WIND}} {}

Physics* PhysicsCatalogue::createPhysics(const std::string& name) const {
    int id = lookUp(physicsTypes, name);
    if (id < 0)
        return nullptr;
    return NSSerialize::Serializeable::factorySerializeClass<Physics>(id, true);
}

PhysicsProperty* PhysicsCatalogue::createProperty(const std::string& name) const {
    int id = lookUp(propertyTypes, name);
    if (id < 0)
        return nullptr;
    return NSSerialize::Serializeable::factorySerializeClass<PhysicsProperty>(id, true);
}

std::string PhysicsCatalogue::physicsName(int classId) const {
    for (const auto& entry : physicsTypes)
        if (entry.second == classId)
            return entry.first;
    return std::string();
}

std::string PhysicsCatalogue::propertyName(int classId) const {
    for (const auto& entry : propertyTypes)
        if (entry.second == classId)
            return entry.first;
    return std::string();
}

} // namespace NSPhysical
