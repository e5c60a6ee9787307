#include "menu/MenuItemInput.h"

#include <GL/gl.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "menu/TextFit.h"
#include "shell/Language.h"
#include "shell/Log.h"

namespace NSMenu {

namespace {

bool isErase(int key) { return key == 8 || key == 127; }

bool isDigit(int key) { return key >= '0' && key <= '9'; }

bool isEnter(int key) { return key == 13 || key == 10; }

constexpr int kKeyEscape = 27;
// The longest number text; names have no limit.
constexpr size_t kMaxNumberText = 16;
// The box the text is shown in, and its inner width.
constexpr float kBoxLeft = 21.0f;
constexpr float kBoxRight = 141.0f;
constexpr int kTextX = 25;
constexpr int kTextWidth = 113;

// Whether the text reads as a whole number that fits an int.
bool fitsInt(const std::string& text) {
    if (text.empty() || text == "-")
        return true;
    errno = 0;
    const long long v = std::strtoll(text.c_str(), nullptr, 10);
    return errno == 0 && v >= INT_MIN && v <= INT_MAX;
}

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
    if (!takesTyping())
        text = format(type, value);
}

bool MenuItemInput::mouseButton(int button, int state, int, int, int) {
    if (isLeft(button) && state == 0 && enabled) {
        if (!typed)
            text = format(type, value);
        selectedAll = true;
    }
    return true;
}

bool MenuItemInput::editText(int key) {
    if (selectedAll && (isErase(key) || key >= 32)) {
        // The selected text goes.
        text.clear();
        selectedAll = false;
        if (isErase(key))
            return true;
    }
    switch (type) {
    case TYPE_BOOL: text = isErase(key) ? "false" : "true"; return true;
    case TYPE_INT:
    case TYPE_FLOAT: return editNumber(key);
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
            // Tab and the like are not part of a name.
            return false;
        }
        return true;
    default: return false;
    }
}

bool MenuItemInput::editNumber(int key) {
    const std::string before = text;
    if (isErase(key)) {
        // An emptied field stays empty: it offers nothing, so the old
        // value holds (it used to become "0" and commit 0).
        if (!text.empty())
            text.pop_back();
    } else if (isDigit(key)) {
        if (text == "0")
            text = std::string(1, char(key));
        else if (text == "-0")
            text = "-" + std::string(1, char(key));
        else
            text += char(key);
    } else if (key == '-') {
        if (text.empty() || text == "0")
            text = "-";
    } else if ((key == '.' || key == ',') && type == TYPE_FLOAT) {
        if (text.empty() || text == "-")
            text += '0';
        if (text.find('.') == std::string::npos)
            text += '.';
    } else {
        return false;
    }
    if (type == TYPE_INT && !fitsInt(text)) {
        // A digit that would overflow is refused.
        text = before;
        return false;
    }
    return true;
}

bool MenuItemInput::parse(Value& out) const {
    out = value;
    switch (type) {
    case TYPE_BOOL: out.boolValue = text == "true"; return true;
    case TYPE_INT:
        if (text.empty() || text == "-")
            return false;
        out.intValue = std::atoi(text.c_str());
        return true;
    case TYPE_FLOAT:
        if (text == "-" || text.empty() || text.back() == '.')
            return false;
        out.floatValue = float(std::atof(text.c_str()));
        return true;
    case TYPE_CHAR: out.charValue = static_cast<signed char>(text.empty() ? 0 : text[0]); return true;
    case TYPE_STRING: out.stringValue = text; return true;
    default: return false;
    }
}

void MenuItemInput::commit() {
    selectedAll = false;
    if (!typed || !enabled)
        return;
    typed = false;
    Value wanted;
    if (parse(wanted)) {
        if (constraint && !constraint->isValid(type, wanted))
            wanted = constraint->constrain(type, wanted);
        const Value previous = value;
        value = wanted;
        const bool taken = notifyChange(value);
        if (!taken)
            value = previous;
        log(LOG_GAME, "Menu: \"%s\" %s %s\n", label.c_str(), taken ? "takes" : "refuses",
            format(type, wanted).c_str());
    }
    // The field shows what holds now: the corrected, refused or taken value.
    text = format(type, value);
}

void MenuItemInput::focusLost() {
    commit();
    MenuItem::focusLost();
    // No longer edited: the field follows its value again.
    setFocus(false);
}

bool MenuItemInput::keyPressed(int key, int modifiers, bool special) {
    if (!enabled)
        return false;
    if (!special && key == kKeyEscape) {
        commit();
        setFocus(false);
        return false;
    }
    if (special)
        return true;
    if (isEnter(key)) {
        commit();
        setFocus(false);
        return true;
    }
    if (type != TYPE_STRING) {
        if (modifiers & ~1)
            return true;
        if (text.size() >= kMaxNumberText && !isErase(key) && !selectedAll)
            return true;
    }
    if (editText(key))
        typed = true;
    return true;
}

std::string MenuItemInput::shownText() const {
    std::string shown = type == TYPE_BOOL ? tr(text) : text;
    if (type == TYPE_FLOAT && shown.find('.') != std::string::npos)
        shown[shown.find('.')] = decimalMark();
    return shown;
}

void MenuItemInput::drawContent() {
    if (enabled && selectedAll && takesTyping()) {
        glColor3f(0.2f, 0.3f, 0.6f);
        fillRect(kBoxLeft + 1.0f, 20.0f, kBoxRight - 1.0f, 33.0f, -0.25f);
    }
    NSGraphic::GLFont* font = valueFontFor();
    const std::string shown = shownText();
    // Text wider than the box shows its end, where the typing happens.
    printAt(font, kTextX, 30, fitTail(shown, kTextWidth, [font](const std::string& t) { return textWidthOf(font, t); }));
    if (!enabled)
        return;
    if (hasFocus())
        glColor3f(1.0f, 1.0f, 0.0f);
    else
        glColor3f(0.5f, 0.5f, 0.5f);
    frameRect(kBoxLeft, 19.0f, kBoxRight, 34.0f, 0.0f, 1.0f);
}

} // namespace NSMenu
