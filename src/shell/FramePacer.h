#pragma once
// When the game draws its next frame. While something moves (the machine
// runs, the camera glides, a message fades) or input is fresh, frames follow
// each other at the frame cap; while nothing moves the game draws only when
// input arrives or a slow redraw is due, and sleeps in between. A cap of 0
// draws as fast as possible, all the time. Times are seconds on any steady
// clock, passed in, so the pacing can be tried without waiting.

namespace NSWindow {

class FramePacer {
public:
    // Input keeps full-rate drawing this long, so that what it set going
    // (a level to load, values for the menu to show) is seen.
    static constexpr double kInputHold = 0.3;
    // While nothing moves, one frame this often (a clock or the frame-rate
    // display may still change).
    static constexpr double kIdleInterval = 0.5;

    explicit FramePacer(int framesPerSecond = 120) { setCap(framesPerSecond); }

    // 0: no cap and no idling.
    void setCap(int framesPerSecond) { cap = framesPerSecond > 0 ? framesPerSecond : 0; }
    int getCap() const { return cap; }

    // Input arrived at now: draw at full rate for a while.
    void wake(double now);
    // When the next frame may start, for the time now and whether anything
    // on the screen moves by itself: now, or later to keep to the cap, or
    // (while idle) the next due redraw.
    double nextFrameAt(double now, bool moving) const;
    // Whether, at now, the loop has nothing to draw at full rate.
    bool isIdle(double now, bool moving) const;
    // A frame starts at now.
    void frameStarted(double now);

private:
    int cap = 120;
    bool started = false;
    double lastFrame = 0.0;
    double freshUntil = 0.0;
};

} // namespace NSWindow
