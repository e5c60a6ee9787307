#include "window/WindowFrameRate.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "resources/GLFont.h"
#include "shell/Language.h"

namespace NSWindow {

WindowFrameRate::WindowFrameRate() : WindowItem(true), timer(false, 1.0f) {}

void WindowFrameRate::setFps(int framesPerSecond) {
    fps = framesPerSecond;
    float c = static_cast<float>(std::clamp(fps, 10, 200));
    colour[0] = 1.0f - (c - 10.0f) / 190.0f;
    colour[1] = 1.0f - (200.0f - c) / 190.0f;
    colour[2] = 0.0f;
}

void WindowFrameRate::frame(float seconds, bool idleFrame) {
    windowSeconds += seconds;
    if (!idleFrame && !previousIdle) {
        ++fullFrames;
        fullSeconds += seconds;
    }
    previousIdle = idleFrame;
    if (windowSeconds < 1.0f)
        return;
    idle = fullFrames == 0 || fullSeconds <= 0.0f;
    if (!idle)
        setFps(static_cast<int>(std::lround(static_cast<float>(fullFrames) / fullSeconds)));
    fullFrames = 0;
    fullSeconds = windowSeconds = 0.0f;
}

void WindowFrameRate::update() { frame(timer.lap(), nextIdle); }

void WindowFrameRate::draw() {
    begin2D(0, 1);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    if (idle)
        glColor3f(0.75f, 0.75f, 0.75f);
    else
        glColor3fv(colour);
    glRasterPos2f(0.05f, 0.7f);
    if (idle)
        getLabelFont()->print("%s", tr("idle").c_str());
    else
        getLabelFont()->print("%3i fps", fps);
    drawBlueFrame();
    glPopAttrib();
}

} // namespace NSWindow
