#include "physics/StepClock.h"

#include <cmath>

namespace NSPhysical {

namespace {
// A frame that ends a hair short of a whole step (the sums of float frame
// times rarely come out exact) still earns that step.
constexpr double kRoundingSlack = 1e-6;
} // namespace

void StepClock::reset() {
    owed = 0.0;
    steps = 0;
}

int StepClock::advance(float frameTime, bool fastForward) {
    double t = std::isfinite(frameTime) && frameTime > 0.0f ? frameTime : 0.0;
    if (t > kMaxFrameTime)
        t = kMaxFrameTime;
    if (fastForward)
        t *= kFastForwardFactor;
    owed += t;
    const double step = kStep;
    int count = static_cast<int>(std::floor((owed + kRoundingSlack) / step));
    if (count < 0)
        count = 0;
    // May leave a hair below 0: that is owed back by the next frame.
    owed -= count * step;
    steps += count;
    return count;
}

} // namespace NSPhysical
