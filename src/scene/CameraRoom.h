#pragma once
// The camera stays in the room: it may fly anywhere between the room's walls
// and the place the level's own view starts from (which often looks in from
// beyond the open front wall), but never under the floor, above the ceiling
// or far away.

namespace NSNode {
class NodeTransform;
}

namespace NSScene {

class Camera;

// Distance the eye keeps from the walls, floor and ceiling.
constexpr float kCameraWallMargin = 5.0f;

// Moves camera back inside the first room under root; no room, no change.
void keepCameraInRoom(Camera& camera, const NSNode::NodeTransform* root);

} // namespace NSScene
