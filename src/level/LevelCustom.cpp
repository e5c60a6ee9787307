#include "level/LevelCustom.h"

#include "objects/ObjectLight.h"
#include "objects/ObjectShapes.h"
#include "persistence/ClassIds.h"
#include "physics/effects/PhysicsFriction.h"
#include "physics/effects/PhysicsGravity.h"
#include "scene/Scene.h"
#include "scenegraph/BoundingVolume.h"

namespace NSLevel {

LevelCustom::LevelCustom() : Level("[levelName]", "[infoText]") {}

int LevelCustom::classId() const { return CLASS_LEVEL_CUSTOM; }

void LevelCustom::build() {
    NSScene::Scene* s = scene();
    if (!s)
        return;
    auto* room = new NSObjects::ObjectRoom(300.0f, 300.0f, 300.0f);
    room->clear();
    // Friction and gravity everywhere in the room.
    auto* friction = new NSPhysics::PhysicsFriction(0.0f, 0.05f);
    friction->setBoundingVolume(NSNode::BoundingVolume::makeUnboundedVolume());
    room->addPhysics(friction);
    auto* gravity = new NSPhysics::PhysicsGravity(0.0f, -1.0f, 0.0f, 9.81f);
    gravity->setBoundingVolume(NSNode::BoundingVolume::makeUnboundedVolume());
    room->addPhysics(gravity);
    s->addObject(room);

    auto* lamp = new NSObjects::ObjectLightOmni(true);
    lamp->setPosition(Vector3(-130.0f, 130.0f, 130.0f));
    s->addObject(lamp);
    s->getRoot()->applyPendingChanges();

    // From in front of the room, looking in through its open side.
    NSScene::Camera& camera = s->getCamera();
    camera.setPosition(Vector3(0.0f, 100.0f, 400.0f));
    camera.setTarget(Vector3(0.0f, 0.0f, 0.0f));
    camera.update(0.0f);
    camera.storeDefault();
}

} // namespace NSLevel
