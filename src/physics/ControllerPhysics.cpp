#include "physics/ControllerPhysics.h"

#include <algorithm>

#include "persistence/ClassIds.h"
#include "physics/NodePhysical.h"

namespace NSPhysical {

namespace {

bool validKind(int kind) { return kind >= 0 && kind < PHYSICS_KIND_COUNT; }

int lookUp(const ControllerPhysics::TypeTable& table, const std::string& name) {
    for (const auto& entry : table)
        if (entry.first == name)
            return entry.second;
    return -1;
}

} // namespace

ControllerPhysics::ControllerPhysics()
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

ControllerPhysics& ControllerPhysics::instance() {
    static ControllerPhysics controller;
    return controller;
}

void ControllerPhysics::registerPhysics(Physics* effect) {
    if (effect && validKind(effect->kind()))
        effectsByKind[effect->kind()].push_back(effect);
}

void ControllerPhysics::unregisterPhysics(Physics* effect) {
    if (!effect || !validKind(effect->kind()))
        return;
    auto& list = effectsByKind[effect->kind()];
    list.erase(std::remove(list.begin(), list.end(), effect), list.end());
}

const std::vector<Physics*>& ControllerPhysics::effectsOfKind(int kind) const {
    static const std::vector<Physics*> none;
    return validKind(kind) ? effectsByKind[kind] : none;
}

void ControllerPhysics::collectEffects(NSNode::NodePhysical* body, std::vector<PhysicsEffect>& out) {
    for (PhysicsProperty* property : body->getProperties()) {
        int kind = property->kind();
        if (!validKind(kind))
            continue;
        for (Physics* effect : effectsByKind[kind]) {
            if (!effect->isEnabled() || !effect->hitTest(body, Vector3()).hit)
                continue;
            if (auto* owner = dynamic_cast<NSNode::NodePhysical*>(effect->getParent()))
                owner->effectApplied(effect, body);
            out.push_back(PhysicsEffect{effect, property});
        }
    }
}

Physics* ControllerPhysics::createPhysics(const std::string& name) const {
    int id = lookUp(physicsTypes, name);
    if (id < 0)
        return nullptr;
    return NSSerialize::Serializeable::factorySerializeClass<Physics>(id, true);
}

PhysicsProperty* ControllerPhysics::createProperty(const std::string& name) const {
    int id = lookUp(propertyTypes, name);
    if (id < 0)
        return nullptr;
    return NSSerialize::Serializeable::factorySerializeClass<PhysicsProperty>(id, true);
}

std::string ControllerPhysics::physicsName(int classId) const {
    for (const auto& entry : physicsTypes)
        if (entry.second == classId)
            return entry.first;
    return std::string();
}

std::string ControllerPhysics::propertyName(int classId) const {
    for (const auto& entry : propertyTypes)
        if (entry.second == classId)
            return entry.first;
    return std::string();
}

} // namespace NSPhysical
