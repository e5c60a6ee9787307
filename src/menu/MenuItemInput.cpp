#include "menu/MenuItemInput.h"

#include <GL/gl.h>

#include <cstdio>
#include <cstdlib>

namespace NSMenu {

namespace {

bool isErase(int key) { return key == 8 || key == 127; }

bool isDigit(int key) { return key >= '0' && key <= '9'; }

} // namespace

std::string MenuItemInput::format(unsigned type, const Value& v) {
    char buffer[64] = "";
    switch (type) {
    case TYPE_BOOL: return v.boolValue ? "true" : "false";
    case TYPE_INT: std::snprintf(buffer, sizeof buffer, "%i", v.intValue); return buffer;
    case TYPE_FLOAT:
        std::snprintf(buffer, sizeof buffer, "%.3f", double(v.floatValue));
        return buffer[0] ? buffer : "0";
    case TYPE_CHAR: return std::string(1, char(v.charValue));
    case TYPE_STRING: return v.stringValue;
    default: return "";
    }
}

void MenuItemInput::setValue(const Value& v) {
    value = v;
    // A field being edited keeps its text; one not yet in the menu is not
    // being edited.
    const bool editing = getParent() && hasFocus();
    if (!editing)
        text = format(type, value);
}

bool MenuItemInput::editText(int key) {
    switch (type) {
    case TYPE_BOOL:
        text = isErase(key) ? "false" : "true";
        return true;
    case TYPE_INT:
    case TYPE_FLOAT:
        if (isErase(key)) {
            if (!text.empty())
                text.pop_back();
            if (text.empty())
                text = "0";
        } else if (isDigit(key)) {
            if (text == "0")
                text = std::string(1, char(key));
            else
                text += char(key);
        } else if (key == '-') {
            if (text == "0")
                text = "-";
        } else if (key == '.' && type == TYPE_FLOAT) {
            if (text.find('.') == std::string::npos)
                text += '.';
        }
        if (text == "-")
            return false;
        if (type == TYPE_FLOAT && text.back() == '.')
            return false;
        return true;
    case TYPE_CHAR:
        text = isErase(key) ? std::string() : std::string(1, char(key));
        return true;
    case TYPE_STRING:
        if (isErase(key)) {
            if (!text.empty())
                text.pop_back();
        } else if (key >= 32) {
            text += char(key);
        } else {
            // Enter, Tab and the like are not part of a name.
            return false;
        }
        return true;
    default: return false;
    }
}

bool MenuItemInput::keyPressed(int key, int modifiers, bool special) {
    if (special || !enabled)
        return true;
    if (type != TYPE_STRING) {
        if (modifiers != 0)
            return true;
        if (text.size() > 15 && !isErase(key))
            return true;
    }
    const Value previous = value;
    if (!editText(key))
        return true;

    switch (type) {
    case TYPE_BOOL: value.boolValue = text == "true"; break;
    case TYPE_INT: value.intValue = std::atoi(text.c_str()); break;
    case TYPE_FLOAT: value.floatValue = float(std::atof(text.c_str())); break;
    case TYPE_CHAR: value.charValue = static_cast<signed char>(text.empty() ? 0 : text[0]); break;
    case TYPE_STRING: value.stringValue = text; break;
    default: break;
    }
    if (constraint && !constraint->isValid(type, value))
        setValue(constraint->constrain(type, value));
    if (!notifyChange(value))
        value = previous;
    return true;
}

void MenuItemInput::drawContent() {
    printAt(valueFontFor(), 25, 30, text);
    if (!enabled)
        return;
    if (hasFocus())
        glColor3f(1.0f, 1.0f, 0.0f);
    else
        glColor3f(0.5f, 0.5f, 0.5f);
    frameRect(21.0f, 19.0f, 141.0f, 34.0f, 0.0f, 1.0f);
}

} // namespace NSMenu
