#include "support/GlContext.h"

#include <GL/freeglut.h>
#include <X11/Xlib.h>

#include <chrono>
#include <thread>

#include <cstdlib>

namespace qbntest {

namespace {
int window = 0;
}

bool ensureGlContext() {
    if (window)
        return true;
    if (!std::getenv("DISPLAY"))
        return false;
    // GLUT ends the process without a display, and an X server that lost its last client resets for a moment:
    // try first, and keep this connection open so the server does not reset under GLUT.
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

void resetGlState() {
    if (!window)
        return;
    GLint depth = 0;
    glGetIntegerv(GL_ATTRIB_STACK_DEPTH, &depth);
    while (depth-- > 0)
        glPopAttrib();
    glGetIntegerv(GL_CLIENT_ATTRIB_STACK_DEPTH, &depth);
    while (depth-- > 0)
        glPopClientAttrib();
    const GLenum stacks[][2] = {{GL_MODELVIEW, GL_MODELVIEW_STACK_DEPTH},
                                {GL_PROJECTION, GL_PROJECTION_STACK_DEPTH},
                                {GL_TEXTURE, GL_TEXTURE_STACK_DEPTH}};
    for (const auto& stack : stacks) {
        glMatrixMode(stack[0]);
        glGetIntegerv(stack[1], &depth);
        while (depth-- > 1)
            glPopMatrix();
        glLoadIdentity();
    }
    glMatrixMode(GL_MODELVIEW);
    glRenderMode(GL_RENDER);
    for (GLenum cap : {GL_LIGHTING, GL_DEPTH_TEST, GL_BLEND, GL_TEXTURE_2D, GL_CULL_FACE, GL_COLOR_MATERIAL,
                       GL_NORMALIZE, GL_ALPHA_TEST, GL_FOG, GL_SCISSOR_TEST, GL_LINE_STIPPLE, GL_POLYGON_OFFSET_FILL,
                       GL_LINE_SMOOTH, GL_POINT_SMOOTH, GL_STENCIL_TEST})
        glDisable(cap);
    for (GLenum light = GL_LIGHT0; light <= GL_LIGHT7; ++light)
        glDisable(light);
    glEnable(GL_DITHER);
    for (GLenum array : {GL_VERTEX_ARRAY, GL_NORMAL_ARRAY, GL_COLOR_ARRAY, GL_TEXTURE_COORD_ARRAY})
        glDisableClientState(array);
    glLineWidth(1.0f);
    glPointSize(1.0f);
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glNormal3f(0.0f, 0.0f, 1.0f);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glShadeModel(GL_SMOOTH);
    glDepthFunc(GL_LESS);
    glDepthMask(GL_TRUE);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glBlendFunc(GL_ONE, GL_ZERO);
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
    glBindTexture(GL_TEXTURE_2D, 0);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glViewport(0, 0, 800, 600);
}

std::vector<unsigned char> readPixels(int x, int y, int width, int height) {
    std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 3);
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
}

} // namespace qbntest
