#pragma once
// The view's perspective, the line of sight under the pointer, and where it
// meets the line a handle drags an object along: a drag on an arrow keeps
// the grabbed point under the pointer whatever the size of the view.

#include "math/Vector3.h"

namespace NSScene {

class Camera;

// The perspective of the 3D view: the vertical field of view in degrees,
// the near and the far plane.
constexpr float kFieldOfView = 45.0f;
constexpr float kNearPlane = 0.1f;
constexpr float kFarPlane = 10000.0f;

struct SightLine {
    Vector3 from;      // the eye
    Vector3 direction; // unit length, into the scene
    Vector3 forward;   // the camera's own direction, unit length
};

// The line of sight through the point (x, y) of a view width x height units
// large (origin at its bottom left, y up), as the camera sees it.
SightLine sightLine(const Camera& camera, float width, float height, float x, float y);

// Where the sight passes closest to the line through `at` along the unit
// vector `axis`: t, the distance from `at` along axis. False when the two
// lie within about 15 degrees of each other (the pointer could hardly tell
// one place on the line from the next) or the place is not in front of the
// eye, inside the view's depth.
bool closestOnAxis(const SightLine& sight, const Vector3& at, const Vector3& axis, float& t);

// How large one unit of a view `height` units tall is at `depth` from the
// eye, along the camera's direction.
float unitSizeAt(float height, float depth);

} // namespace NSScene
