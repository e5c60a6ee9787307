#pragma once
// For the scene and level targets: what was read is also played, a few
// frames with the machine running, and drawn once into an offscreen GL
// context (Mesa's surfaceless EGL platform, no X display needed). Without
// EGL (QBN_FUZZ_DRAW unset) the scene is only stepped.

#include <GL/gl.h>
#include <GL/glu.h>

#include "FuzzSupport.h"
#include "scene/Scene.h"

#ifdef QBN_FUZZ_DRAW
#include <EGL/egl.h>
#include <EGL/eglext.h>

// The game draws balls and particle cubes with GLUT, which will not work
// without a window; here they are drawn with GLU instead (the program's
// own definitions take the place of the library's).
extern "C" void glutSolidSphere(double radius, GLint slices, GLint stacks) {
    GLUquadric* quadric = gluNewQuadric();
    gluSphere(quadric, radius, slices, stacks);
    gluDeleteQuadric(quadric);
}

extern "C" void glutSolidCube(double size) {
    const float h = static_cast<float>(size) / 2.0f;
    glBegin(GL_QUADS);
    for (int axis = 0; axis < 3; ++axis)
        for (float side : {-h, h})
            for (int corner = 0; corner < 4; ++corner) {
                const float u = (corner == 1 || corner == 2) ? h : -h, v = corner >= 2 ? h : -h;
                float p[3];
                p[axis] = side;
                p[(axis + 1) % 3] = u;
                p[(axis + 2) % 3] = v;
                glVertex3fv(p);
            }
    glEnd();
}
#endif

namespace qbnfuzz {

#ifdef QBN_FUZZ_DRAW
// A 160 x 120 pbuffer with a current context, made once per process.
inline bool offscreenContext() {
    static int ready = -1;
    if (ready >= 0)
        return ready == 1;
    ready = 0;
    auto getDisplay = reinterpret_cast<PFNEGLGETPLATFORMDISPLAYEXTPROC>(eglGetProcAddress("eglGetPlatformDisplayEXT"));
    EGLDisplay display = getDisplay ? getDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr)
                                    : EGL_NO_DISPLAY;
    EGLint major = 0, minor = 0, count = 0;
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor))
        return false;
    const EGLint attributes[] = {EGL_SURFACE_TYPE, EGL_PBUFFER_BIT, EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT,
                                 EGL_RED_SIZE,     8,               EGL_GREEN_SIZE,      8,
                                 EGL_BLUE_SIZE,    8,               EGL_DEPTH_SIZE,      16,
                                 EGL_NONE};
    EGLConfig config;
    if (!eglChooseConfig(display, attributes, &config, 1, &count) || count < 1)
        return false;
    const EGLint size[] = {EGL_WIDTH, 160, EGL_HEIGHT, 120, EGL_NONE};
    EGLSurface surface = eglCreatePbufferSurface(display, config, size);
    eglBindAPI(EGL_OPENGL_API);
    EGLContext context = eglCreateContext(display, config, EGL_NO_CONTEXT, nullptr);
    if (surface == EGL_NO_SURFACE || context == EGL_NO_CONTEXT ||
        !eglMakeCurrent(display, surface, surface, context))
        return false;
    ready = 1;
    return true;
}
#endif

// Runs the machine for a few frames, draws once, and stops it again (which
// reads the snapshot taken at the start back).
inline void playAndDraw(NSScene::Scene& scene) {
    scene.setLayout(NSWindow::ItemLayout(0, 0, 160, 120));
    check(scene.setRunning(true), "the machine does not start on a scene that was read");
    for (int frame = 0; frame < 4; ++frame)
        scene.step(1.0f / 60.0f, 1.0f / 60.0f);
#ifdef QBN_FUZZ_DRAW
    if (offscreenContext()) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        scene.draw();
        glFinish();
    }
#endif
    scene.setRunning(false);
}

} // namespace qbnfuzz
