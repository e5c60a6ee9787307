#pragma once
// What the built-in levels share for building their rooms: placing an
// object with what the player may do with it, the camera, a room with
// gravity and air, plain blocks, light balls, particle streams and baskets.
// Every function adds to the scene of Level::scene(), the scene whose world
// is in use.
#include "level/Level.h"
#include "objects/ObjectShapes.h"

namespace NSLevel {
namespace building {

// What the player may do with an object; any right makes it selectable.
enum Access : unsigned {
    kFixed = 0,
    kSelect = 1u << 0,
    kMoveX = 1u << 1,
    kMoveY = 1u << 2,
    kMoveZ = 1u << 3,
    kTurnX = 1u << 4,
    kTurnY = 1u << 5,
    kTurnZ = 1u << 6,
    kScale = 1u << 7,
    kMoveXYZ = kMoveX | kMoveY | kMoveZ,
    kTurnXYZ = kTurnX | kTurnY | kTurnZ,
    kAllButScaling = kMoveXYZ | kTurnXYZ,
    kAll = kAllButScaling | kScale,
};

// Sets what the player may do with an object.
void allowOnly(NSNode::NodeGraphic* object, unsigned access);

// Into the scene with the next pending changes, or below parent.
void addLater(NSNode::NodeGraphic* object, NSNode::NodeGraphic* parent);

// Places a fresh object, sets what the player may do with it and adds it
// to the scene with the next pending changes (or below parent).
template <class T>
T* place(T* object, const Vector3& position, const Vector3& rotation, unsigned access,
         NSNode::NodeGraphic* parent = nullptr) {
    object->translate(position);
    object->rotate(rotation);
    allowOnly(object, access);
    addLater(object, parent);
    return object;
}

template <class T>
T* place(T* object, const Vector3& position, unsigned access) {
    return place(object, position, Vector3(), access);
}

// The level's view: from eye onto the room's middle; Home comes back to it.
void setCamera(const Vector3& eye);

// A room with gravity and a little air friction everywhere.
NSObjects::ObjectRoom* addRoom(float length, float width, float height, const Vector3& colour);

// A plain box that never moves.
NSObjects::ObjectBox* makeBlock(float length, float height, float width, const Vector3& colour);

// A ball that feels gravity and the air (drag: 1 slows it like a balloon,
// 0.02 like a ball) and nothing else yet; bounce and grip as a plain ball's.
NSObjects::ObjectSphere* makeBall(float radius, float mass, float drag, const Vector3& colour, const char* name);

// A stream of particles from the parent's origin along the stream's +z
// (turned by rotation), each fading out.
void addStream(NSNode::NodeGraphic* parent, const Vector3& rotation, const Vector3& emitterSize,
               const Vector3& colour, float lifespan);

// A basket of plain boards, its inside size across, its walls high; the
// floor's top at y. The floor is the goal's object.
NSNode::NodeGraphic* addBasket(const Vector3& at, float size, float high);

// All objects are made: they join the scene, then the goals can find them.
void settle();

unsigned idOf(const NSNode::NodeTransform* node);

} // namespace building
} // namespace NSLevel
