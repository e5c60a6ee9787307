#pragma once
// The camera and the room: the camera stays in the room (it may fly anywhere
// between the room's walls and the place the level's own view starts from,
// which often looks in from beyond the open front wall, but never under the
// floor, above the ceiling or far away); and the overview, which looks down
// on the whole room from above its ceiling.

namespace NSNode {
class NodeTransform;
}

namespace NSScene {

class Camera;

// Distance the eye keeps from the walls, floor and ceiling.
constexpr float kCameraWallMargin = 5.0f;
// The overview looks down this steeply (80 degrees below the horizon), its
// top edge towards the back wall (-z).
constexpr float kOverviewPitch = 1.3962634f;

// Moves camera back inside the first room under root; no room, no change.
void keepCameraInRoom(Camera& camera, const NSNode::NodeTransform* root);

// A camera above the ceiling of the room under root, as near as lets the
// room's floor and every object under root show whole in a view of this
// aspect (width / height) with the 45 degree vertical field of view; its
// default pose is that one, so a camera reset comes back to it. The room's
// ceiling faces inward, so from up there it is left out and the room lies
// open.
Camera fitOverview(const NSNode::NodeTransform* root, float aspect);

} // namespace NSScene
