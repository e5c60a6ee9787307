#include "menu/MenuItemControls.h"

#include <GL/gl.h>

#include "shell/Language.h"
#include "audio/SoundControl.h"

namespace NSMenu {

bool MenuItemBool::mouseButton(int, int buttonState, int, int x, int y) {
    if (buttonState != 0 || !enabled)
        return true;
    bool wanted = state;
    bool asks = false;
    if (x >= 25 && x <= 85 && y >= 20 && y <= 33 && !state) {
        wanted = true;
        asks = true;
    } else if (x >= 85 && x <= 145 && y >= 20 && y <= 33 && state) {
        wanted = false;
        asks = true;
    }
    if (asks)
        NSAudio::SoundControl::instance().cue(NSAudio::Cue::MenuClick);
    if (asks && notifyChange(Value::ofBool(wanted)))
        state = wanted;
    return true;
}

void MenuItemBool::setValue(const Value& value) {
    if (type == TYPE_BOOL)
        state = value.boolValue;
}

Value MenuItemBool::getValue() const { return Value::ofBool(state); }

void MenuItemBool::drawContent() {
    NSGraphic::GLFont* font = valueFontFor();
    printAt(font, 43, 30, tr("true"));
    printAt(font, 103, 30, tr("false"));
    if (!state)
        glColor3f(0.4f, 0.4f, 0.4f);
    else if (enabled)
        glColor3f(0.0f, 1.0f, 0.0f);
    else
        glColor3f(0.65f, 0.65f, 0.65f);
    fillRect(25.0f, 20.0f, 38.0f, 33.0f, 0.0f);
    if (state)
        glColor3f(0.4f, 0.4f, 0.4f);
    else if (enabled)
        glColor3f(0.9f, 0.0f, 0.0f);
    else
        glColor3f(0.65f, 0.65f, 0.65f);
    fillRect(85.0f, 20.0f, 98.0f, 33.0f, 0.0f);
}

bool MenuItemButton::mouseButton(int, int state, int, int x, int y) {
    if (!enabled)
        return true;
    if (state == 1) {
        pressed = false;
    } else if (state == 0 && x >= 15 && x < 141 && y >= 10 && y < 31) {
        pressed = true;
        NSAudio::SoundControl::instance().cue(NSAudio::Cue::MenuClick);
        notifyChange(value);
    }
    return true;
}

void MenuItemButton::drawContent() {
    NSGraphic::GLFont* font = valueFontFor();
    printAt(font, 20, 23, tr(label));
    if (!enabled)
        glColor3f(0.2f, 0.2f, 0.2f);
    else if (pressed)
        glColor3f(0.6f, 0.6f, 0.6f);
    else
        glColor3f(0.4f, 0.4f, 0.4f);
    // The face lies a little behind the label, so that the label always wins
    // the depth test.
    fillRect(15.0f, 10.0f, 140.0f, 30.0f, -0.25f);
    if (!enabled)
        glColor3f(0.4f, 0.4f, 0.4f);
    else if (hasFocus())
        glColor3f(1.0f, 1.0f, 0.0f);
    else
        glColor3f(0.65f, 0.65f, 0.65f);
    frameRect(15.0f, 10.0f, 140.0f, 30.0f, 0.5f, 1.0f);
}

} // namespace NSMenu
