#include "window/WindowCullingGraph.h"

#include <GL/gl.h>

#include "resources/GLFont.h"

namespace NSWindow {

WindowCullingGraph::WindowCullingGraph() : WindowItem(true) {}

void WindowCullingGraph::setValue(float fraction) {
    // NaN fails both comparisons and lands on 0.
    if (fraction > 1.0f)
        value = 1.0f;
    else if (fraction > 0.0f)
        value = fraction;
    else
        value = 0.0f;
}

void WindowCullingGraph::draw() {
    begin2D(0, 1); // unit square, origin top left, y down
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);

    // The bar in the lower half: culled in green, drawn in red.
    glColor3f(0.0f, 1.0f, 0.0f);
    glRectf(0.0f, 0.55f, value, 1.0f);
    glColor3f(1.0f, 0.0f, 0.0f);
    glRectf(value, 0.55f, 1.0f, 1.0f);

    glColor3f(0.0f, 0.0f, 0.0f);
    glRasterPos2f(0.0f, 0.5f);
    getLabelFont()->print("Culling");

    drawBlueFrame();
    glPopAttrib();
}

} // namespace NSWindow
