#include "shell/FramePacer.h"

#include <algorithm>

namespace NSWindow {

void FramePacer::wake(double now) { freshUntil = std::max(freshUntil, now + kInputHold); }

bool FramePacer::isIdle(double now, bool moving) const { return cap > 0 && !moving && now >= freshUntil; }

double FramePacer::nextFrameAt(double now, bool moving) const {
    if (cap == 0 || !started)
        return now;
    if (isIdle(now, moving))
        return std::max(now, lastFrame + kIdleInterval);
    return std::max(now, lastFrame + 1.0 / cap);
}

void FramePacer::frameStarted(double now) {
    // On schedule, the next frame is due one period after this one's due
    // time, so that sleeping's small overshoots do not add up; a late frame
    // starts the schedule afresh.
    const double period = cap > 0 ? 1.0 / cap : 0.0;
    const double due = lastFrame + period;
    lastFrame = started && now >= due && now - due < period ? due : now;
    started = true;
}

} // namespace NSWindow
