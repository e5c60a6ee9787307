#pragma once
#include "shell/Timer.h"
#include "ui/WindowItem.h"

namespace NSWindow {

// Frames per second, counted over one-second windows; red at 10 fps or less,
// green at 200 or more.
class WindowFrameRate : public WindowItem {
public:
    WindowFrameRate();

    void update() override;
    void draw() override;

    int getFps() const { return fps; }
    const float* getColour() const { return colour; }
    // Takes a finished count of frames as the new reading.
    void setFps(int framesPerSecond);

private:
    Timer timer;
    int fps = 0;
    float colour[3] = {1.0f, 0.0f, 0.0f};
};

} // namespace NSWindow
