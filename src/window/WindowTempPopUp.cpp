#include "window/WindowTempPopUp.h"

#include <GL/gl.h>

#include "resources/GLFont.h"
#include "shell/Language.h"

namespace NSWindow {

namespace {
WindowTempPopUp* currentExclusive = nullptr;
}

WindowTempPopUp* WindowTempPopUp::current() { return currentExclusive; }

WindowTempPopUp::WindowTempPopUp(const std::string& text, float holdTime, float fadeTime,
                                 bool exclusive)
    : WindowItem(true), exclusive(exclusive), timer(false, 1000000.0f), text(text),
      holdTime(holdTime), fadeTime(fadeTime) {
    if (exclusive) {
        if (currentExclusive)
            currentExclusive->removeLater();
        currentExclusive = this;
    }
}

WindowTempPopUp::~WindowTempPopUp() {
    if (exclusive && currentExclusive == this)
        currentExclusive = nullptr;
}

bool WindowTempPopUp::advance(float t) {
    if (t < fadeTime) {
        alpha = t / fadeTime;
    } else if (t < fadeTime + holdTime) {
        alpha = 1.0f;
    } else if (t >= 2.0f * fadeTime + holdTime) {
        removeLater();
        return false;
    } else {
        alpha = 1.0f - (t - fadeTime - holdTime) / fadeTime;
    }
    // Nearly opaque, so that neither the view nor its buttons show through.
    backgroundAlpha = alpha * 0.9f;
    return true;
}

void WindowTempPopUp::update() { advance(timer.peek()); }

void WindowTempPopUp::draw() {
    begin2D(1, 3);
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT | GL_LINE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_CULL_FACE);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    // The band is as wide as the text, which is drawn at 0.9 of the font's
    // height and so keeps a margin of 0.1 s on either side.
    auto* font = dynamic_cast<NSGraphic::GLFontOutline*>(getTextFont());
    const std::string shown = tr(text);
    float s = font ? font->textWidth(shown) / 2.0f : 0.0f;
    glColor4f(0.08f, 0.08f, 0.25f, backgroundAlpha);
    glRectf(-s, -0.5f, s, 0.5f);
    glLineWidth(2.0f);
    glColor3f(0.0f, 0.0f, 1.0f);
    glBegin(GL_LINE_LOOP);
    glVertex2f(-s, -0.5f);
    glVertex2f(-s, 0.5f);
    glVertex2f(s, 0.5f);
    glVertex2f(s, -0.5f);
    glEnd();
    glColor4f(1.0f, 0.9f, 0.35f, alpha);
    glTranslatef(-0.9f * s, -0.25f, 0.0f);
    glScalef(0.9f, 0.9f, 0.9f);
    if (font)
        font->print("%s", shown.c_str());
    glPopAttrib();
}

} // namespace NSWindow
