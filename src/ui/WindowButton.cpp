#include "ui/WindowButton.h"

#include <GL/gl.h>

namespace NSWindow {

WindowButton::WindowButton(int originMode) : WindowItem(true), originMode(originMode) {}

void WindowButton::draw() {
    begin2D(originMode, 1);
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    drawButton();
    glPopAttrib();
}

} // namespace NSWindow
