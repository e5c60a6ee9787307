#include "scene/CameraRoom.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "objects/ObjectShapes.h"
#include "scene/Camera.h"

namespace NSScene {

namespace {

// Half the vertical field of view, and the share of the view's half-angles
// the overview fills, so nothing touches the edge.
constexpr float kHalfFieldOfView = 0.39269908f;
constexpr float kOverviewFill = 0.92f;

const NSObjects::ObjectRoom* roomUnder(const NSNode::NodeTransform* root) {
    for (const NSNode::NodeTransform* child : root->getChildren())
        if (auto* room = dynamic_cast<const NSObjects::ObjectRoom*>(child))
            return room;
    return nullptr;
}

// The room's half extents in its own frame: length along x, width along y,
// height along z.
Vector3 roomHalfSize(const NSObjects::ObjectRoom& room) {
    return Vector3(room.getLength(), room.getWidth(), room.getHeight()) * 0.5f;
}

struct Ball {
    Vector3 centre;
    float radius;
};

// Every object under node as the sphere around it (its position where it
// has no bounded volume), and the corners of the room's floor; top becomes
// the highest corner of a room's ceiling.
void collect(const NSNode::NodeTransform* node, std::vector<Ball>& out, float& top) {
    for (const NSNode::NodeTransform* child : node->getChildren()) {
        if (auto* room = dynamic_cast<const NSObjects::ObjectRoom*>(child)) {
            const Vector3 h = roomHalfSize(*room);
            const Matrix4 m = room->worldMatrix();
            for (int i = 0; i < 4; ++i) {
                const float x = i & 1 ? h.x : -h.x, z = i & 2 ? h.z : -h.z;
                out.push_back({m.transformPoint(Vector3(x, -h.y, z)), 0.0f});
                top = std::max(top, m.transformPoint(Vector3(x, h.y, z)).y);
            }
        } else if (dynamic_cast<const NSNode::NodeGraphic*>(child)) {
            NSNode::BoundingVolume* volume = child->getBoundingVolume();
            if (volume && !volume->isUnbounded()) {
                volume->setTransform(child->worldMatrix());
                const auto& sphere = volume->getOuterSphere();
                out.push_back({sphere.getWorldCenter(), sphere.getWorldRadius()});
            } else {
                out.push_back({child->worldPosition(), 0.0f});
            }
        }
        collect(child, out, top);
    }
}

} // namespace

void keepCameraInRoom(Camera& camera, const NSNode::NodeTransform* root) {
    const NSObjects::ObjectRoom* room = root ? roomUnder(root) : nullptr;
    if (!room)
        return;
    const Vector3 half = roomHalfSize(*room) * room->getScaleFactor();
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

// The view is fitted to the floor and the objects, not to the walls' upper
// edges. A sphere is inside a side of the view when, at its depth z along the view,
// its offset across the view is at most z tan(a) - r / cos(a); so the eye
// must stand at least offset / tan(a) + r / sin(a) - (its depth beyond the
// target) back from the target.
Camera fitOverview(const NSNode::NodeTransform* root, float aspect) {
    std::vector<Ball> balls;
    float top = -1e30f;
    if (root)
        collect(root, balls, top);
    Vector3 low(-1.0f, -1.0f, -1.0f), high(1.0f, 1.0f, 1.0f);
    for (size_t i = 0; i < balls.size(); ++i) {
        const Vector3& c = balls[i].centre;
        low = i ? Vector3(std::min(low.x, c.x), std::min(low.y, c.y), std::min(low.z, c.z)) : c;
        high = i ? Vector3(std::max(high.x, c.x), std::max(high.y, c.y), std::max(high.z, c.z)) : c;
    }
    const Vector3 target = (low + high) * 0.5f;
    const Vector3 forward(0.0f, -std::sin(kOverviewPitch), -std::cos(kOverviewPitch));
    const Vector3 up(0.0f, std::cos(kOverviewPitch), -std::sin(kOverviewPitch));
    const Vector3 side = cross(forward, up);
    const float tanV = std::tan(kHalfFieldOfView) * kOverviewFill;
    const float tanH = std::tan(kHalfFieldOfView) * (aspect > 0.0f ? aspect : 1.0f) * kOverviewFill;
    const float sinV = std::sin(std::atan(tanV));
    const float sinH = std::sin(std::atan(tanH));
    float distance = 1.0f;
    for (const Ball& b : balls) {
        const Vector3 r = b.centre - target;
        const float depth = dot(r, forward);
        distance = std::max({distance, std::fabs(dot(r, side)) / tanH + b.radius / sinH - depth,
                             std::fabs(dot(r, up)) / tanV + b.radius / sinV - depth, b.radius - depth + 1.0f});
    }
    // Above the ceiling, which then turns its back and is left out.
    distance = std::max(distance, (top + kCameraWallMargin - target.y) / -forward.y);
    Camera camera;
    camera.setPosition(target - forward * distance);
    camera.setTarget(target);
    camera.update(0.0f);
    camera.storeDefault();
    return camera;
}

} // namespace NSScene
