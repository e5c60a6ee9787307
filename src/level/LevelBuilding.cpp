#include "level/LevelBuilding.h"

#include "particles/ObjectParticleSystems.h"
#include "physics/effects/PhysicsFriction.h"
#include "physics/effects/PhysicsGravity.h"
#include "physics/properties/PhysicsPropertyOfKind.h"
#include "scene/Scene.h"
#include "scenegraph/BoundingVolume.h"

using NSNode::BoundingVolume;
using NSNode::NodeGraphic;
using namespace NSObjects;

namespace NSLevel {
namespace building {

void allowOnly(NodeGraphic* object, unsigned access) {
    object->setAllEditFlags(false);
    object->setSelectable(access != kFixed);
    object->setEditPosition(access & kMoveX, access & kMoveY, access & kMoveZ);
    object->setEditRotation(access & kTurnX, access & kTurnY, access & kTurnZ);
    object->setEditScaling(access & kScale);
}

void addLater(NodeGraphic* object, NodeGraphic* parent) {
    if (parent)
        parent->addChildLater(object);
    else
        Level::scene()->addObject(object);
}

void setCamera(const Vector3& eye) {
    NSScene::Camera& camera = Level::scene()->getCamera();
    camera.setPosition(eye);
    camera.setTarget(Vector3(0.0f, 0.0f, 0.0f));
    camera.update(0.0f);
    camera.storeDefault();
}

ObjectRoom* addRoom(float length, float width, float height, const Vector3& colour) {
    auto* room = new ObjectRoom(length, width, height);
    room->setColor(colour);
    auto* drag = new NSPhysics::PhysicsFriction(0.0f, 0.05f);
    drag->setBoundingVolume(BoundingVolume::makeUnboundedVolume());
    room->addPhysics(drag);
    auto* gravity = new NSPhysics::PhysicsGravity(0.0f, -1.0f, 0.0f, 9.81f);
    gravity->setBoundingVolume(BoundingVolume::makeUnboundedVolume());
    room->addPhysics(gravity);
    Level::scene()->addObject(room);
    return room;
}

ObjectBox* makeBlock(float length, float height, float width, const Vector3& colour) {
    auto* block = new ObjectBox(true);
    block->setSize(length, width, height);
    block->setPhysical(false, false, 10.0f, 0.6f, 0.5f, false);
    block->setColor(colour);
    return block;
}

ObjectSphere* makeBall(float radius, float mass, float drag, const Vector3& colour, const char* name) {
    auto* ball = new ObjectSphere(true);
    ball->setRadius(radius);
    ball->setPhysical(true, true, mass, 0.5f, 0.3f, false);
    ball->setColor(colour);
    ball->setName(name);
    ball->clearProperties();
    ball->addProperty(new NSPhysicsProperty::PhysicsPropertyGravity(1.0f));
    ball->addProperty(new NSPhysicsProperty::PhysicsPropertyFriction(drag));
    return ball;
}

void addStream(NodeGraphic* parent, const Vector3& rotation, const Vector3& emitterSize, const Vector3& colour,
               float lifespan) {
    auto* stream = new NSParticle::ObjectParticleSystemTexture(true);
    stream->emitAngle = Vector3(0.05f, 0.05f, 0.0f);
    stream->emitDurationEnabled = false;
    stream->emitterSize = emitterSize;
    stream->setColor(colour);
    stream->partsPerSec = 20.0f;
    stream->lifespanVar = 0.3f;
    stream->lifespan = lifespan;
    stream->alphaFading = true;
    stream->alphaFadeBegin = 0.0f;
    place(stream, Vector3(), rotation, kFixed, parent);
}

NodeGraphic* addBasket(const Vector3& at, float size, float high) {
    const Vector3 wood(0.6f, 0.45f, 0.25f);
    auto* floor = place(makeBlock(size + 6.0f, 3.0f, size + 6.0f, wood), at - Vector3(0.0f, 1.5f, 0.0f), kFixed);
    const float side = size * 0.5f + 1.5f;
    const float up = high * 0.5f + 1.5f;
    place(makeBlock(3.0f, high, size + 6.0f, wood), Vector3(side, up, 0.0f), Vector3(), kFixed, floor);
    place(makeBlock(3.0f, high, size + 6.0f, wood), Vector3(-side, up, 0.0f), Vector3(), kFixed, floor);
    place(makeBlock(size, high, 3.0f, wood), Vector3(0.0f, up, side), Vector3(), kFixed, floor);
    place(makeBlock(size, high, 3.0f, wood), Vector3(0.0f, up, -side), Vector3(), kFixed, floor);
    return floor;
}

void settle() { Level::scene()->getRoot()->applyPendingChanges(); }

unsigned idOf(const NSNode::NodeTransform* node) { return static_cast<unsigned>(node->getId()); }

} // namespace building
} // namespace NSLevel
