#include "scene/DragSweep.h"

#include <algorithm>
#include <cmath>

namespace NSScene {

namespace {

int stepsFor(float distance, float step) {
    const int steps = static_cast<int>(std::ceil(std::fabs(distance) / step));
    return std::max(1, std::min(steps, kSweepMaxSteps));
}

// The last free fraction of the way from 0 to 1, with at(f) putting the
// object at fraction f; the object is left there.
float sweep(int steps, const std::function<void(float)>& at, const ContactTest& blocked) {
    at(0.0f);
    if (blocked()) {
        at(1.0f);
        if (!blocked())
            return 1.0f;
        at(0.0f);
        return 0.0f;
    }
    float free = 0.0f;
    for (int i = 1; i <= steps; ++i) {
        const float f = static_cast<float>(i) / static_cast<float>(steps);
        at(f);
        if (blocked()) {
            at(free);
            return free;
        }
        free = f;
    }
    return free;
}

} // namespace

Vector3 sweepMove(const Vector3& from, const Vector3& to, const std::function<void(const Vector3&)>& place,
                  const ContactTest& blocked) {
    const Vector3 path = to - from;
    const float f = sweep(stepsFor(length(path), kSweepStep), [&](float t) { place(from + path * t); }, blocked);
    return from + path * f;
}

float sweepTurn(float angle, const std::function<void(float)>& turn, const ContactTest& blocked) {
    return sweep(stepsFor(angle, kSweepAngleStep), turn, blocked);
}

} // namespace NSScene
