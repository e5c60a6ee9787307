#include "menu/MenuSlider.h"

#include <GL/gl.h>

#include <algorithm>

namespace NSMenu {

MenuSlider::MenuSlider() : WindowItem(false) {}

void MenuSlider::setContentHeight(int height, bool keepOffset) {
    contentHeight = height;
    const int kept = keepOffset ? offset : 0;
    offset = 0;
    thumbPos = 15;
    if (kept > 0)
        scrollBy(kept);
}

int MenuSlider::maxOffset() const {
    const int h = area.height;
    return contentHeight > h ? contentHeight - h + 15 : 0;
}

void MenuSlider::measureThumb() {
    const int h = area.height;
    if (contentHeight > h && h > 0)
        thumbLength = std::max(10, static_cast<int>(static_cast<double>(h) / contentHeight * h));
}

void MenuSlider::scrollBy(int delta) {
    measureThumb();
    const int wanted = std::max(0, std::min(offset + delta, maxOffset()));
    if (wanted == offset)
        return;
    offset = wanted;
    // The thumb follows the offset the way a drag would have set it.
    const int travel = area.height - thumbLength - 30;
    const int range = maxOffset();
    thumbPos = 15 + (range > 0 && travel > 0 ? static_cast<int>(static_cast<double>(offset) * travel / range) : 0);
    changed = true;
}

bool MenuSlider::takeScrollChanged() {
    const bool was = changed;
    changed = false;
    return was;
}

void MenuSlider::update() {
    WindowItem::update();
    const int h = area.height;
    if (contentHeight > h && h > 0) {
        visible = true;
        measureThumb();
    } else {
        visible = false;
        if (offset != 0) {
            offset = 0;
            thumbPos = 15;
            changed = true;
        }
    }
}

void MenuSlider::dragTo(int y) {
    const int h = area.height;
    const int lowest = h - thumbLength - 15;
    // A window too short for the track keeps the thumb at the top.
    const int pos = std::max(15, std::min(y - thumbLength / 2, lowest));
    if (pos == thumbPos)
        return;
    thumbPos = pos;
    const int travel = h - thumbLength - 30;
    offset = travel > 0 ? static_cast<int>(static_cast<double>(contentHeight - h + 15) * (thumbPos - 15) / travel)
                        : 0;
    changed = true;
}

bool MenuSlider::mouseButton(int button, int state, int, int, int y) {
    if (button == 0 && state == 0)
        dragTo(y);
    return true;
}

bool MenuSlider::mouseDrag(int, int, int y) {
    dragTo(y);
    return true;
}

void MenuSlider::draw() {
    begin2D(0, 0);
    glPushAttrib(GL_CURRENT_BIT | GL_ENABLE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    const float w = static_cast<float>(area.width);
    const float h = static_cast<float>(area.height);
    glColor3f(0.2f, 0.2f, 0.5f);
    glRectf(0.0f, 15.0f, w, h - 15.0f);
    glColor3f(0.5f, 0.5f, 1.0f);
    glBegin(GL_QUADS);
    glVertex3f(0.0f, float(thumbPos), 0.5f);
    glVertex3f(w, float(thumbPos), 0.5f);
    glVertex3f(w, float(thumbPos + thumbLength), 0.5f);
    glVertex3f(0.0f, float(thumbPos + thumbLength), 0.5f);
    glEnd();
    glPopAttrib();
}

} // namespace NSMenu
