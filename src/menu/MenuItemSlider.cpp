#include "menu/MenuItemSlider.h"

#include <algorithm>

#include <GL/gl.h>

#include <cmath>
#include <cstdio>

#include "menu/TextFit.h"

namespace NSMenu {

namespace {

constexpr float kTrackLength = 88.0f;
constexpr float kBarLength = 92.0f;
// Pixels from the value's start to the item's right edge.
constexpr int kValueRoom = 36;

} // namespace

MenuItemSlider::MenuItemSlider(MenuItemHost* menu) : MenuItem(menu, true) {}

void MenuItemSlider::setType(unsigned t) {
    type = t;
    const ValueConstraintRange* r = range();
    if (r) {
        min = r->floatMin;
        max = r->floatMax;
    }
    switch (type) {
    case TYPE_BOOL:
        min = 0.0f;
        max = 1.0f;
        resolution = 1.0f;
        break;
    case TYPE_INT:
        if (!r) {
            min = 0.0f;
            max = 100.0f;
        }
        resolution = 1.0f;
        break;
    case TYPE_FLOAT:
        if (!r) {
            min = 0.0f;
            max = 100.0f;
        }
        resolution = 0.0f;
        break;
    case TYPE_CHAR:
        if (!r) {
            min = 97.0f;
            max = 122.0f;
        }
        resolution = 1.0f;
        break;
    default: break;
    }
}

void MenuItemSlider::setConstraint(const ValueConstraint* c) {
    MenuItem::setConstraint(c);
    setType(type);
}

bool MenuItemSlider::mouseButton(int button, int state, int, int x, int y) {
    if (!isLeft(button))
        return true;
    dragging = false;
    if (state == 0 && enabled && x >= 25 && x < 114 && y >= 13 && y < 40) {
        setKnob(float(x - 25));
        dragging = true;
    }
    return true;
}

bool MenuItemSlider::mouseDrag(int, int x, int y) {
    if (!enabled)
        return true;
    if (dragging) {
        // Once held, the knob follows the pointer anywhere and stops at the
        // ends of the track.
        setKnob(std::min(std::max(float(x - 25), 0.0f), kTrackLength));
    } else if (x >= 25 && x < 114 && y >= 13 && y < 40) {
        setKnob(float(x - 25));
    }
    return true;
}

bool MenuItemSlider::keyPressed(int key, int, bool special) {
    if (type != TYPE_FLOAT || special || !enabled)
        return false;
    if (key == '4' || key == 'd')
        setKnob(knobOffset - 0.25f);
    else if (key == '6' || key == 'f')
        setKnob(knobOffset + 0.25f);
    else
        return false;
    return true;
}

void MenuItemSlider::setKnob(float p) {
    const float raw = min + (max - min) * p / kTrackLength;
    const float scaled = raw * resolution;
    const Value previous = value;
    auto stepped = [&]() {
        float whole = std::floor(scaled + 0.5f);
        return resolution != 0.0f ? int(whole / resolution) : 0;
    };
    switch (type) {
    case TYPE_BOOL: value.boolValue = p >= 0.5f; break;
    case TYPE_INT: value.intValue = stepped(); break;
    case TYPE_FLOAT: value.floatValue = raw; break;
    case TYPE_CHAR: value.charValue = static_cast<signed char>(stepped()); break;
    default: break;
    }
    if (notifyChange(getValue())) {
        knobOffset = p;
    } else {
        value.intValue = previous.intValue;
        value.floatValue = previous.floatValue;
        value.stringValue = previous.stringValue;
    }
}

void MenuItemSlider::drawContent() {
    NSGraphic::GLFont* font = valueFontFor();
    char buffer[64] = "";
    float v = 0.0f;
    switch (type) {
    case TYPE_BOOL:
        std::snprintf(buffer, sizeof buffer, "%s", value.boolValue ? "true" : "false");
        v = value.boolValue ? 1.0f : 0.0f;
        break;
    case TYPE_INT:
        std::snprintf(buffer, sizeof buffer, "%d", value.intValue);
        v = float(value.intValue);
        break;
    case TYPE_FLOAT:
        // As many decimals as fit beside the track, so that the fine keys
        // show their steps.
        for (int decimals = 3; decimals >= 0; --decimals) {
            std::snprintf(buffer, sizeof buffer, "%.*f", decimals, double(value.floatValue));
            if (textWidthOf(font, buffer) <= kValueRoom)
                break;
        }
        v = value.floatValue;
        break;
    case TYPE_CHAR:
        std::snprintf(buffer, sizeof buffer, "%c", char(value.charValue));
        v = float(value.charValue);
        break;
    default: break;
    }
    printAt(font, 118, 30, buffer);

    if (enabled)
        glColor3f(0.6f, 0.6f, 0.6f);
    else
        glColor3f(0.4f, 0.4f, 0.4f);
    fillRect(25.0f, 25.0f, 113.0f, 27.0f, 0.0f);

    const float k = max != min ? (v - min) * kTrackLength / (max - min) : 0.0f;
    if (enabled && hasFocus())
        glColor3f(1.0f, 1.0f, 0.0f);
    else if (enabled)
        glColor3f(0.8f, 0.8f, 0.8f);
    else
        glColor3f(0.6f, 0.6f, 0.6f);
    fillRect(float(int(25.0f + k - 2.0f)), 20.0f, float(int(25.0f + k + 2.0f)), 32.0f, 0.5f);
}

void MenuItemAccelerator::setType(unsigned t) {
    type = t;
    if (const ValueConstraintRange* r = range()) {
        min = r->floatMin;
        max = r->floatMax;
    } else if (type == TYPE_FLOAT) {
        min = -1.0f;
        max = 1.0f;
    }
}

void MenuItemAccelerator::setConstraint(const ValueConstraint* c) {
    MenuItem::setConstraint(c);
    setType(type);
}

bool MenuItemAccelerator::mouseButton(int button, int state, int modifiers, int x, int y) {
    if (!isLeft(button))
        return true;
    if (state != 0)
        pressed = false;
    else
        mouseDrag(modifiers, x, y);
    return true;
}

bool MenuItemAccelerator::mouseDrag(int, int x, int y) {
    if (enabled && x >= 35 && x < 128 && y >= 13 && y < 40) {
        pressed = true;
        const float t = float(x - 35) / kBarLength * (max - min) + min;
        if (type == TYPE_FLOAT)
            value.floatValue = std::fabs(t) * t;
    } else {
        pressed = false;
    }
    return true;
}

void MenuItemAccelerator::update() {
    MenuItem::update();
    if (pressed)
        notifyChange(value);
}

void MenuItemAccelerator::drawContent() {
    NSGraphic::GLFont* font = valueFontFor();
    printAt(font, 25, 30, "-");
    printAt(font, 132, 30, "+");
    if (!enabled)
        glColor3f(0.4f, 0.4f, 0.4f);
    else if (pressed)
        glColor3f(0.8f, 0.6f, 0.6f);
    else
        glColor3f(0.6f, 0.6f, 0.6f);
    fillRect(35.0f, 20.0f, 127.0f, 32.0f, 0.0f);
}

} // namespace NSMenu
