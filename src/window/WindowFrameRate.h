#pragma once
#include "shell/Timer.h"
#include "ui/WindowItem.h"

namespace NSWindow {

// Frames per second, counted over one-second windows; red at 10 fps or less,
// green at 200 or more. While the game idles (nothing moves, so it draws only
// now and then) it says "idle"; frames drawn at full rate in between count at
// the rate they were drawn at, never the idle gaps.
class WindowFrameRate : public WindowItem {
public:
    WindowFrameRate();

    void update() override;
    void draw() override;

    int getFps() const { return fps; }
    bool isIdle() const { return idle; }
    const float* getColour() const { return colour; }
    // Takes a rate as the new reading.
    void setFps(int framesPerSecond);
    // The window tells whether the coming frame is one of its idle ones.
    void setIdleFrame(bool idleFrame) { nextIdle = idleFrame; }
    // One frame, `seconds` after the one before.
    void frame(float seconds, bool idleFrame);

private:
    Timer timer;
    int fps = 0;
    bool idle = false;
    float colour[3] = {1.0f, 0.0f, 0.0f};
    bool nextIdle = false;
    // Only the time between two full-rate frames counts.
    bool previousIdle = true;
    int fullFrames = 0;
    float fullSeconds = 0.0f;
    float windowSeconds = 0.0f;
};

} // namespace NSWindow
