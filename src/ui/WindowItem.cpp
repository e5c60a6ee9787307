#include "ui/WindowItem.h"

#include <GL/gl.h>

#include <algorithm>

#include "resources/LoaderGLFont.h"
#include "shell/DisplayScale.h"

namespace NSWindow {

namespace {

int lastItemId = 0;

int anchored(int anchor, int value, int parentSize) {
    switch (anchor) {
    case 1: return value;
    case 2: return parentSize / 2 + value;
    case 3: return parentSize + value;
    default: return 0;
    }
}

int sized(int mode, int value, int parentSize) {
    switch (mode) {
    case 1: return parentSize / 2 + value;
    case 2: return parentSize + value;
    default: return value;
    }
}

bool inside(const ItemLayout& r, int x, int y) {
    return r.x <= x && x <= r.x + r.width && r.y <= y && y <= r.y + r.height;
}

} // namespace

WindowItem::WindowItem(bool yUp) : yUp(yUp) {
    setId(++lastItemId);
    setLayout(ItemLayout(0, 0, 0, 0));
}

WindowItem::~WindowItem() {
    // Children go first, while this item is still whole: their destructors
    // look at this item's focus.
    focus = nullptr;
    clear();
    clearParentFocus();
}

void WindowItem::clear() {
    focus = nullptr;
    Node<WindowItem>::clear();
}

void WindowItem::onAttach() { setLayout(layout); }

void WindowItem::setLayout(const ItemLayout& newLayout) {
    layout = newLayout;
    computeArea();
    for (WindowItem* child : getChildren())
        child->setLayout(child->layout);
}

void WindowItem::computeArea() {
    WindowItem* parent = getParent();
    if (!parent) {
        area = screenArea = layout;
        return;
    }
    const ItemLayout& p = parent->screenArea;
    area = layout;
    area.width = sized(layout.widthMode, layout.width, p.width);
    area.height = sized(layout.heightMode, layout.height, p.height);
    area.x = anchored(layout.xAnchor, layout.x, p.width);
    area.y = anchored(layout.yAnchor, layout.y, p.height);
    screenArea = area;
    screenArea.x = p.x + area.x;
    screenArea.y = parent->yUp ? p.y + area.y : p.y + p.height - area.height - area.y;
}

void WindowItem::toChild(const WindowItem* child, int& x, int& y) const {
    x -= child->area.x;
    y -= child->area.y;
    if (yUp != child->yUp)
        y = child->area.height - y - 1;
}

bool WindowItem::contains(const WindowItem* child, int x, int y) {
    return inside(child->area, x, y);
}

bool WindowItem::mouseButton(int button, int state, int modifiers, int x, int y) {
    if (state == 0) {
        // The item that had the focus hears that it lost it before the
        // press reaches another (a field being edited commits first).
        WindowItem* previous = focus;
        const auto& items = getChildren();
        for (size_t i = items.size(); i-- > 0;) {
            WindowItem* child = items[i];
            if (!child->isLive() || !contains(child, x, y))
                continue;
            if (previous && previous != child) {
                previous->focusLost();
                previous = nullptr;
            }
            focus = child;
            int cx = x, cy = y;
            toChild(child, cx, cy);
            if (child->mouseButton(button, state, modifiers, cx, cy))
                return true;
        }
        if (previous && focus == previous)
            previous->focusLost();
        focus = nullptr;
        return false;
    }
    if (state == 1) {
        // The release goes to the item that got the press, wherever the pointer is now.
        if (!focus || !focus->isLive())
            return false;
        toChild(focus, x, y);
        return focus->mouseButton(button, state, modifiers, x, y);
    }
    return false;
}

bool WindowItem::mouseDrag(int modifiers, int x, int y) {
    if (!focus || !focus->isLive() || !contains(focus, x, y))
        return false;
    toChild(focus, x, y);
    return focus->mouseDrag(modifiers, x, y);
}

bool WindowItem::mouseMove(int buttons, int x, int y) {
    const auto& items = getChildren();
    for (WindowItem* child : items)
        if (child->pointerInside && (!child->isLive() || !contains(child, x, y))) {
            child->pointerInside = false;
            child->pointerLeft();
        }
    for (size_t i = items.size(); i-- > 0;) {
        WindowItem* child = items[i];
        if (!child->isLive() || !contains(child, x, y))
            continue;
        child->pointerInside = true;
        int cx = x, cy = y;
        toChild(child, cx, cy);
        if (child->mouseMove(buttons, cx, cy))
            return true;
    }
    return false;
}

void WindowItem::drawBlueFrame() {
    glLineWidth(2.0f * displayScale()); // lines are in pixels: two units
    glColor3f(0.0f, 0.0f, 1.0f);
    glBegin(GL_LINE_LOOP);
    glVertex2f(0, 0);
    glVertex2f(0, 1);
    glVertex2f(1, 1);
    glVertex2f(1, 0);
    glEnd();
}

void WindowItem::pointerLeft() {
    for (WindowItem* child : getChildren())
        if (child->pointerInside) {
            child->pointerInside = false;
            child->pointerLeft();
        }
}

void WindowItem::focusLost() {
    if (focus)
        focus->focusLost();
}

bool WindowItem::takesTyping() const { return focus && focus->isLive() && focus->takesTyping(); }

bool WindowItem::keyPressed(int key, int modifiers, bool special) {
    if (!focus || !focus->isLive())
        return false;
    return focus->keyPressed(key, modifiers, special);
}

void WindowItem::draw() {
    const ItemLayout& s = screenArea;
    for (WindowItem* child : getChildren()) {
        if (!child->visible)
            continue;
        const ItemLayout& c = child->screenArea;
        glPushAttrib(GL_LINE_BIT);
        if (inside(s, c.x, c.y) || inside(s, c.x, c.y + c.height) || inside(s, c.x + c.width, c.y) ||
            inside(s, c.x + c.width, c.y + c.height))
            child->draw();
        glPopAttrib();
    }
}

bool WindowItem::wantsContinuousFrames() const {
    for (const WindowItem* child : getChildren())
        if (child->isVisible() && child->wantsContinuousFrames())
            return true;
    return false;
}

void WindowItem::update() {
    for (WindowItem* child : getChildren()) {
        child->update();
        child->touched = false;
    }
}

void WindowItem::clearParentFocus() {
    WindowItem* parent = getParent();
    if (parent && parent->focus == this)
        parent->focus = nullptr;
}

void WindowItem::setVisible(bool v) {
    visible = v;
    if (!v)
        clearParentFocus();
}

void WindowItem::setEnabled(bool e) {
    enabled = e;
    if (!e)
        clearParentFocus();
}

void WindowItem::setFocus(bool f) {
    WindowItem* parent = getParent();
    if (!parent)
        return;
    if (f)
        parent->focus = this;
    else
        clearParentFocus();
}

NSGraphic::GLFont* WindowItem::getLabelFont() const {
    if (!labelFont)
        labelFont = NSLoader::LoaderGLFontBitmap::instance().get("Verdana 13 700");
    return labelFont;
}

NSGraphic::GLFont* WindowItem::getTextFont() const {
    if (!textFont)
        textFont = NSLoader::LoaderGLFontOutline::instance().get("Arial 1 400");
    return textFont;
}

bool WindowItem::hasFocus() const {
    WindowItem* parent = getParent();
    return !parent || parent->focus == this;
}

ItemLayout toPixels(const ItemLayout& units) {
    ItemLayout p = units;
    p.x = unitsToPixels(units.x);
    p.y = unitsToPixels(units.y);
    p.width = std::max(0, unitsToPixels(units.x + units.width) - p.x);
    p.height = std::max(0, unitsToPixels(units.y + units.height) - p.y);
    return p;
}

void setViewportOver(const ItemLayout& units) {
    const ItemLayout p = toPixels(units);
    glViewport(p.x, p.y, p.width, p.height);
}

void WindowItem::begin2D(int originMode, int unitMode) {
    const ItemLayout& s = screenArea;
    setViewportOver(s);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    double w = s.width, h = s.height;
    double hw = w != 0 ? h / w : 0, wh = h != 0 ? w / h : 0;
    if (originMode == 0) {
        switch (unitMode) {
        case 0: glOrtho(0, w, h, 0, -10, 10); break;
        case 1: glOrtho(0, 1, 1, 0, -10, 10); break;
        case 2: glOrtho(0, 1, hw, 0, -10, 10); break;
        case 3: glOrtho(0, wh, 1, 0, -10, 10); break;
        default: break;
        }
    } else if (originMode == 1) {
        switch (unitMode) {
        case 0: glOrtho(-w / 2, w / 2, -h / 2, h / 2, -10, 10); break;
        case 1: glOrtho(-0.5, 0.5, -0.5, 0.5, -10, 10); break;
        case 2: glOrtho(-0.5, 0.5, -hw / 2, hw / 2, -10, 10); break;
        case 3: glOrtho(-wh / 2, wh / 2, -0.5, 0.5, -10, 10); break;
        default: break;
        }
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

} // namespace NSWindow
