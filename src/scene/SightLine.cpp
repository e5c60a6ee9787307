#include "scene/SightLine.h"

#include <cmath>

#include "scene/Camera.h"

namespace NSScene {

namespace {

// Below this sine of the angle between sight and axis the drag falls back
// to the pointer's way along the screen (about 14.5 degrees).
constexpr float kSteepestSine = 0.25f;

float halfHeightPerDepth() { return std::tan(kFieldOfView * 0.5f * 3.14159265f / 180.0f); }

} // namespace

SightLine sightLine(const Camera& camera, float width, float height, float x, float y) {
    SightLine sight;
    sight.from = camera.getEye();
    Vector3 forward = camera.getTarget() - camera.getEye();
    forward.normalize();
    Vector3 side = cross(forward, camera.getUpPoint() - camera.getEye());
    side.normalize();
    const Vector3 up = cross(side, forward);
    const float h = halfHeightPerDepth();
    const float aspect = height > 0.0f ? width / height : 1.0f;
    const float across = width > 0.0f ? 2.0f * x / width - 1.0f : 0.0f;
    const float upward = height > 0.0f ? 2.0f * y / height - 1.0f : 0.0f;
    sight.direction = forward + side * (across * h * aspect) + up * (upward * h);
    sight.direction.normalize();
    sight.forward = forward;
    return sight;
}

bool closestOnAxis(const SightLine& sight, const Vector3& at, const Vector3& axis, float& t) {
    const Vector3& d = sight.direction;
    if (length(cross(d, axis)) < kSteepestSine)
        return false;
    // The closest points of the lines at + t axis and from + s d.
    const Vector3 w = at - sight.from;
    const float b = dot(axis, d);
    const float denominator = 1.0f - b * b;
    const float found = (b * dot(d, w) - dot(axis, w)) / denominator;
    const float depth = dot(at + axis * found - sight.from, sight.forward);
    if (!std::isfinite(found) || depth <= kNearPlane || depth >= kFarPlane)
        return false;
    t = found;
    return true;
}

float unitSizeAt(float height, float depth) {
    return height > 0.0f ? 2.0f * depth * halfHeightPerDepth() / height : 0.0f;
}

} // namespace NSScene
