#include "window/WindowTempPopUp.h"

#include <GL/gl.h>

#include "resources/GLFont.h"
#include "shell/DisplayScale.h"
#include "shell/Language.h"

namespace NSWindow {

namespace {
// The newest stacked message, while it lives.
WindowTempPopUp* newest = nullptr;
} // namespace

WindowTempPopUp* WindowTempPopUp::current() { return newest; }

ItemLayout WindowTempPopUp::bandLayout(int band) {
    return ItemLayout(0, band * (kBandHeight + kBandGap) - kBandHeight / 2, 0, kBandHeight, 1, 2, 2, 0);
}

WindowTempPopUp::WindowTempPopUp(const std::string& text, float holdTime, float fadeTime, bool stacked)
    : WindowItem(true), stacked(stacked), started(!stacked), timer(false, 1000000.0f), text(text),
      holdTime(holdTime), fadeTime(fadeTime) {
    if (stacked)
        newest = this;
}

WindowTempPopUp::~WindowTempPopUp() {
    if (newest == this)
        newest = nullptr;
}

void WindowTempPopUp::onAttach() {
    WindowItem::onAttach();
    if (!stacked)
        return;
    // An earlier message of the same text goes: this one shows it anew.
    for (WindowItem* item : getParent()->getChildren()) {
        auto* other = dynamic_cast<WindowTempPopUp*>(item);
        if (other && other != this && other->stacked && other->text == text)
            other->finish();
    }
}

void WindowTempPopUp::finish() {
    if (!finished)
        removeLater();
    finished = true;
}

bool WindowTempPopUp::advance(float t) {
    if (t < fadeTime) {
        alpha = t / fadeTime;
    } else if (t < fadeTime + holdTime) {
        alpha = 1.0f;
    } else if (t >= 2.0f * fadeTime + holdTime) {
        finish();
        return false;
    } else {
        alpha = 1.0f - (t - fadeTime - holdTime) / fadeTime;
    }
    // Nearly opaque, so that neither the view nor its buttons show through.
    backgroundAlpha = alpha * 0.9f;
    return true;
}

void WindowTempPopUp::update() {
    if (stacked && !finished && getParent()) {
        // The band: one below each earlier message still showing or
        // waiting beside it.
        int place = 0;
        for (WindowItem* item : getParent()->getChildren()) {
            auto* other = dynamic_cast<WindowTempPopUp*>(item);
            if (other == this)
                break;
            place += other && other->stacked && !other->finished;
        }
        if (place >= kMaxShown)
            return;
        if (!started) {
            started = true;
            timer.restart();
        }
        if (place != band) {
            band = place;
            setLayout(bandLayout(band));
        }
    }
    advance(timer.peek());
}

void WindowTempPopUp::draw() {
    if (isWaiting())
        return;
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
    glLineWidth(2.0f * displayScale());
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
