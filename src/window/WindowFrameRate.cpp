#include "window/WindowFrameRate.h"

#include <GL/gl.h>

#include <algorithm>

#include "resources/GLFont.h"

namespace NSWindow {

namespace {
int frameCounter = 0; // shared by every frame-rate display
}

WindowFrameRate::WindowFrameRate() : WindowItem(true), timer(false, 1.0f) {}

void WindowFrameRate::setFps(int framesPerSecond) {
    fps = framesPerSecond;
    float c = static_cast<float>(std::clamp(fps, 10, 200));
    colour[0] = 1.0f - (c - 10.0f) / 190.0f;
    colour[1] = 1.0f - (200.0f - c) / 190.0f;
    colour[2] = 0.0f;
}

void WindowFrameRate::update() {
    ++frameCounter;
    if (timer.peek() >= 1.0f) {
        timer.restart();
        setFps(frameCounter);
        frameCounter = 0;
    }
}

void WindowFrameRate::draw() {
    begin2D(0, 1);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glColor3fv(colour);
    glRasterPos2f(0.05f, 0.7f);
    getLabelFont()->print("%3i fps", fps);
    drawBlueFrame();
    glPopAttrib();
}

} // namespace NSWindow
