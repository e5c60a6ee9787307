#include "support/GlContext.h"

#include <GL/freeglut.h>
#include <X11/Xlib.h>

#include <chrono>
#include <thread>

#include <cstdlib>

namespace qbntest {

bool ensureGlContext() {
    static int window = 0;
    if (window)
        return true;
    if (!std::getenv("DISPLAY"))
        return false;
    // GLUT ends the process when the display cannot be opened. An X server
    // that lost its last client resets and refuses connections for a moment,
    // so try first, and keep this connection open for the life of the
    // process so that the server does not reset under GLUT.
    Display* probe = nullptr;
    for (int attempt = 0; attempt < 50 && !probe; ++attempt) {
        probe = XOpenDisplay(nullptr);
        if (!probe)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    if (!probe)
        return false;
    int argc = 1;
    char name[] = "quibbleton_tests";
    char* argv[] = {name, nullptr};
    glutInit(&argc, argv);
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_CONTINUE_EXECUTION);
    glutInitDisplayMode(GLUT_DOUBLE | GLUT_RGBA | GLUT_ALPHA | GLUT_DEPTH);
    glutInitWindowSize(800, 600);
    window = glutCreateWindow("quibbleton tests");
    glutDisplayFunc([] {});
    glutHideWindow();
    glutMainLoopEvent();
    return true;
}

std::vector<unsigned char> readPixels(int x, int y, int width, int height) {
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

} // namespace qbntest
