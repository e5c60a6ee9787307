#include "scene/CameraRoom.h"

#include <algorithm>

#include "objects/ObjectShapes.h"
#include "scene/Camera.h"

namespace NSScene {

void keepCameraInRoom(Camera& camera, const NSNode::NodeTransform* root) {
    if (!root)
        return;
    const NSObjects::ObjectRoom* room = nullptr;
    for (const NSNode::NodeTransform* child : root->getChildren())
        if ((room = dynamic_cast<const NSObjects::ObjectRoom*>(child)))
            break;
    if (!room)
        return;
    const float s = room->getScaleFactor();
    const Vector3 half = Vector3(room->getLength(), room->getHeight(), room->getWidth()) * (0.5f * s);
    const Vector3 centre = room->worldPosition();
    const Vector3 margin(kCameraWallMargin, kCameraWallMargin, kCameraWallMargin);
    Vector3 low = centre - half + margin;
    Vector3 high = centre + half - margin;
    // The level's own view may look in from outside the walls: the space up
    // to it stays open (but never below the floor).
    const Vector3& start = camera.getSavedEye();
    low = Vector3(std::min(low.x, start.x), low.y, std::min(low.z, start.z));
    high = Vector3(std::max(high.x, start.x), std::max(high.y, start.y), std::max(high.z, start.z));
    if (low.x > high.x || low.y > high.y || low.z > high.z)
        return;
    camera.confine(low, high);
}

} // namespace NSScene
