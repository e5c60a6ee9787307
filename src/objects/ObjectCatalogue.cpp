#include "objects/ObjectCatalogue.h"

#include "persistence/ClassIds.h"
#include "persistence/Serializeable.h"

namespace NSObjects {

const std::vector<std::pair<std::string, int>>& creationList() {
    static const std::vector<std::pair<std::string, int>> list = {
        {"Basketball", CLASS_OBJECT_BASKETBALL},
        {"Bowlingball", CLASS_OBJECT_BOWLINGBALL},
        {"Tennisball", CLASS_OBJECT_TENNISBALL},
        {"Brett klein", CLASS_OBJECT_BRETT1},
        {"Brett mittel", CLASS_OBJECT_BRETT2},
        {"Brett gro\xDF", CLASS_OBJECT_BRETT3},
        {"Sprungbrett", CLASS_OBJECT_SPRUNGBRETT},
        {"Flie\xDF"
         "band klein",
         CLASS_OBJECT_ROLLBAND1},
        {"Flie\xDF"
         "band mittel",
         CLASS_OBJECT_ROLLBAND2},
        {"Ventilator", CLASS_OBJECT_VENTILATOR},
        {"Teslaspule", CLASS_OBJECT_TESLA_SPULE},
        {"Sph\xE4re", CLASS_OBJECT_SPHERE},
        {"Box", CLASS_OBJECT_BOX},
        {"Hitzone-Box", CLASS_OBJECT_BOX_HIT},
        {"Hitzone-Sphere", CLASS_OBJECT_SPHERE_HIT},
        {"Hitzone-Room", CLASS_OBJECT_ROOM_HIT},
        {"Simple Particles", CLASS_PARTICLE_SYSTEM_SIMPLE},
        {"Texture Particles", CLASS_PARTICLE_SYSTEM_TEXTURE},
        {"Complex Particles", CLASS_PARTICLE_SYSTEM_COMPLEX},
        {"Omni Light", CLASS_OBJECT_LIGHT_OMNI},
        {"Directional Light", CLASS_OBJECT_LIGHT_DIRECTIONAL},
        {"Spot Light", CLASS_OBJECT_LIGHT_SPOT},
    };
    return list;
}

int creationClassId(const std::string& displayName) {
    for (const auto& entry : creationList())
        if (entry.first == displayName)
            return entry.second;
    return -1;
}

std::string creationName(int classId) {
    for (const auto& entry : creationList())
        if (entry.second == classId)
            return entry.first;
    return std::string();
}

NSNode::NodeGraphic* createObject(const std::string& displayName) {
    const int id = creationClassId(displayName);
    if (id < 0)
        return nullptr;
    return NSSerialize::Serializeable::factorySerializeClass<NSNode::NodeGraphic>(id, true);
}

} // namespace NSObjects
