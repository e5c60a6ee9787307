#pragma once
// Moving or turning an object by a handle drag sweeps along the path in
// small steps and stops at the last place free of contact, so a fast drag
// never carries the object through an obstacle.

#include <functional>

#include "math/Matrix4.h"
#include "math/Vector3.h"

namespace NSScene {

// Whether the object, as it stands now, touches something it may not.
using ContactTest = std::function<bool()>;

// Longest step of a sweep, in scene units and in radians.
constexpr float kSweepStep = 0.25f;
constexpr float kSweepAngleStep = 0.01f;
// A sweep never takes more steps than this (longer paths take longer steps).
constexpr int kSweepMaxSteps = 2000;

// Moves the object (through place) from `from` towards `to` and leaves it at
// the last position free of contact, which it returns. An object that
// already touches something at `from` is tried at `to` alone, so it can be
// pulled out of a contact it started in.
Vector3 sweepMove(const Vector3& from, const Vector3& to, const std::function<void(const Vector3&)>& place,
                  const ContactTest& blocked);

// Turns the object (through turn, given the fraction 0..1 of the way) and
// leaves it at the last free fraction, which it returns; angle is the whole
// turn in radians, for the step count.
float sweepTurn(float angle, const std::function<void(float)>& turn, const ContactTest& blocked);

} // namespace NSScene
