#include "menu/MenuItemSlider.h"

#include <algorithm>

#include <GL/gl.h>

#include <cmath>
#include <cstdio>

#include "menu/TextFit.h"
#include "shell/Host.h"
#include "shell/Language.h"

namespace NSMenu {

namespace {

constexpr float kTrackLength = 88.0f;
constexpr float kBarLength = 92.0f;
// GLUT's SHIFT bit among the modifiers.
constexpr int kShift = 1;
// The range of a typed position without a range of its own.
constexpr float kFarAway = 99999.0f;

} // namespace

MenuItemSlider::MenuItemSlider(MenuItemHost* menu) : MenuItemNumber(menu, true) {}

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
    syncNumber();
}

void MenuItemSlider::setConstraint(const ValueConstraint* c) {
    MenuItem::setConstraint(c);
    setType(type);
}

void MenuItemSlider::syncNumber() {
    number.setRange(min, max);
    if (type != TYPE_FLOAT && number.getReadout().places != 0) {
        Readout whole = number.getReadout();
        whole.places = 0;
        number.setReadout(whole);
    }
}

float MenuItemSlider::shownValue() const {
    return type == TYPE_INT ? float(value.intValue) : value.floatValue;
}

float MenuItemSlider::knobOf(const Value& v) const {
    float at = v.floatValue;
    if (type == TYPE_INT)
        at = float(v.intValue);
    else if (type == TYPE_BOOL)
        at = v.boolValue ? 1.0f : 0.0f;
    else if (type == TYPE_CHAR)
        at = float(v.charValue);
    return max != min ? (at - min) * kTrackLength / (max - min) : 0.0f;
}

void MenuItemSlider::setValue(const Value& v) {
    value = v;
    knobOffset = knobOf(v);
}

bool MenuItemSlider::mouseButton(int button, int state, int modifiers, int x, int y) {
    if (!isLeft(button))
        return true;
    dragging = false;
    if (state != 0 || pressOnNumber(x, y))
        return true;
    if (enabled && x >= 25 && x < 114 && y >= 13 && y < 40) {
        fine = (modifiers & kShift) != 0;
        if (fine) {
            // A tenth of a pixel toward the press.
            const float toward = float(x - 25) - knobOffset;
            if (toward != 0.0f)
                setKnob(std::min(std::max(knobOffset + (toward > 0.0f ? kFineShare : -kFineShare), 0.0f),
                                 kTrackLength));
            anchorX = x;
            anchorKnob = knobOffset;
        } else {
            setKnob(float(x - 25));
        }
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
        const float p = fine ? anchorKnob + float(x - anchorX) * kFineShare : float(x - 25);
        setKnob(std::min(std::max(p, 0.0f), kTrackLength));
    } else if (x >= 25 && x < 114 && y >= 13 && y < 40) {
        setKnob(float(x - 25));
    }
    return true;
}

bool MenuItemSlider::keyPressed(int key, int, bool special) {
    if (numberKey(key, special))
        return true;
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

bool MenuItemSlider::offer(const Value& v, float p) {
    const Value previous = value;
    value = v;
    if (notifyChange(getValue())) {
        knobOffset = p;
        return true;
    }
    value.intValue = previous.intValue;
    value.floatValue = previous.floatValue;
    value.stringValue = previous.stringValue;
    return false;
}

void MenuItemSlider::setKnob(float p) {
    p = std::min(std::max(p, 0.0f), kTrackLength); // the fine keys, too, stop at the ends
    const float raw = min + (max - min) * p / kTrackLength;
    const float scaled = raw * resolution;
    Value next = value;
    auto stepped = [&]() {
        float whole = std::floor(scaled + 0.5f);
        return resolution != 0.0f ? int(whole / resolution) : 0;
    };
    switch (type) {
    case TYPE_BOOL: next.boolValue = p >= 0.5f; break;
    case TYPE_INT: next.intValue = stepped(); break;
    case TYPE_FLOAT: next.floatValue = raw; break;
    case TYPE_CHAR: next.charValue = static_cast<signed char>(stepped()); break;
    default: break;
    }
    offer(next, p);
}

bool MenuItemSlider::applyTyped(float typed) {
    Value next = value;
    if (type == TYPE_INT)
        next.intValue = int(std::lround(typed));
    else
        next.floatValue = typed;
    return offer(next, knobOf(next));
}

std::string MenuItemSlider::valueText() const {
    if (type == TYPE_BOOL)
        return tr(value.boolValue ? "true" : "false");
    return type == TYPE_CHAR ? std::string(1, char(value.charValue)) : typeable() ? shownText() : "";
}

void MenuItemSlider::drawContent() {
    NSGraphic::GLFont* font = valueFontFor();
    if (typeable())
        drawNumber();
    else
        printAt(font, 118, 30, valueText());

    if (enabled)
        glColor3f(0.6f, 0.6f, 0.6f);
    else
        glColor3f(0.4f, 0.4f, 0.4f);
    fillRect(25.0f, 25.0f, 113.0f, 27.0f, 0.0f);

    // A value outside the track (an object turned past the level's range by its rings) shows at the end.
    const float k = std::min(std::max(knobOf(value), 0.0f), kTrackLength);
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

void MenuItemAccelerator::syncNumber() {
    // Without a range of its own a typed position may lie anywhere.
    number.setRange(-kFarAway, kFarAway);
}

bool MenuItemAccelerator::applyTyped(float typed) {
    if (!menu || !menu->itemChanged(number.getReadout().typedLabel, Value::ofFloat(typed)))
        return false;
    shown = typed;
    return true;
}

bool MenuItemAccelerator::keyPressed(int key, int, bool special) { return numberKey(key, special); }

bool MenuItemAccelerator::mouseButton(int button, int state, int modifiers, int x, int y) {
    if (!isLeft(button))
        return true;
    if (state != 0)
        pressed = false;
    else if (!pressOnNumber(x, y) && !nudge(x, y))
        mouseDrag(modifiers, x, y);
    return true;
}

// A press on the "-" or "+" beside the bar moves the place one unit, as
// typing it one unit further would: refused the same way, with the same
// message. The bar itself sets a rate, too coarse for the last unit.
bool MenuItemAccelerator::nudge(int x, int y) {
    constexpr float kNudge = 1.0f;
    const int way = (x >= 20 && x < 35) ? -1 : ((x >= 128 && x < 145) ? 1 : 0);
    if (way == 0 || !enabled || !typeable() || y < 13 || y >= 40)
        return false;
    pressed = false;
    const float to = shown + static_cast<float>(way) * kNudge;
    std::string message;
    if (to < number.lowest() || to > number.highest())
        message = number.outOfRange(label);
    else if (!applyTyped(to))
        message = number.refused(label, to);
    if (!message.empty())
        NSWindow::host().showTempPopUp(message);
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
    drawNumber();
}

} // namespace NSMenu
