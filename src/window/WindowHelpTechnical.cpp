#include "window/WindowHelpTechnical.h"

#include <GL/gl.h>

#include "resources/GLFont.h"
#include "shell/Language.h"
#include "window/Window.h"

namespace NSWindow {

WindowHelpTechnical::WindowHelpTechnical() : WindowItem(false) {}

bool WindowHelpTechnical::mouseButton(int, int, int, int, int) { return true; }
bool WindowHelpTechnical::mouseDrag(int, int, int) { return true; }
bool WindowHelpTechnical::mouseMove(int, int, int) { return true; }
bool WindowHelpTechnical::keyPressed(int, int, bool) { return true; }

void WindowHelpTechnical::draw() {
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_CURRENT_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_TEXTURE_2D);
    begin2D(0, 0); // pixels, origin top left
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0.4f, 0.4f, 0.4f, 0.92f); // what lies behind must not read through
    glRecti(0, 0, screenArea.width, screenArea.height);
    glColor3f(0.0f, 1.0f, 0.0f);
    getLabelFont()->printLines(100, 50, 1.5f, "%s", tr(technicalHelpText).c_str());
    glPopAttrib();
}

} // namespace NSWindow
