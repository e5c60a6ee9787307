#include "menu/MenuItemNumber.h"

#include <GL/gl.h>

#include "shell/Host.h"
#include "shell/Log.h"

namespace NSMenu {

namespace {

bool isEnter(int key) { return key == 13 || key == 10; }
constexpr int kEscape = 27;
// Room between the number and its box's edges.
constexpr int kMargin = 3;

} // namespace

void MenuItemNumber::setReadout(const Readout& r) {
    number.setReadout(r);
    syncNumber();
}

std::string MenuItemNumber::shownText() const {
    const Box box = numberBox();
    NSGraphic::GLFont* font = menu ? menu->getValueFont(enabled) : nullptr;
    return number.format(shownValue(), box.right - box.left - 2 * kMargin,
                         [font](const std::string& t) { return textWidthOf(font, t); });
}

bool MenuItemNumber::pressOnNumber(int x, int y) {
    if (enabled && typeable() && numberBox().contains(x, y)) {
        if (!number.isOpen())
            number.openWith(shownText());
        return true;
    }
    number.close();
    return false;
}

void MenuItemNumber::commitTyped() {
    if (!number.isOpen())
        return;
    float value = 0.0f;
    const NumberField::Typed typed = number.take(value);
    number.close();
    std::string message;
    if (typed == NumberField::Typed::OutOfRange)
        message = number.outOfRange(label);
    else if (typed == NumberField::Typed::Taken && !applyTyped(value))
        message = number.refused(label, value);
    if (typed != NumberField::Typed::Nothing)
        log(LOG_GAME, "Menu: \"%s\" typed \"%s\": %s\n", label.c_str(), number.getText().c_str(),
            message.empty() ? "taken" : message.c_str());
    if (!message.empty())
        NSWindow::host().showTempPopUp(message);
}

void MenuItemNumber::focusLost() {
    commitTyped();
    MenuItem::focusLost();
}

bool MenuItemNumber::numberKey(int key, bool special) {
    if (!number.isOpen())
        return false;
    if (!special && isEnter(key))
        commitTyped();
    else if (!special && key == kEscape)
        number.close();
    else if (!special)
        number.type(key);
    return true;
}

void MenuItemNumber::drawNumber() {
    const Box box = numberBox();
    NSGraphic::GLFont* font = valueFontFor();
    const auto measure = [font](const std::string& t) { return textWidthOf(font, t); };
    const int room = box.right - box.left - 2 * kMargin;
    const std::string text = number.isOpen() ? fitTail(number.getText(), room, measure) : shownText();
    if (number.isOpen() && number.isSelected()) {
        glColor3f(0.2f, 0.3f, 0.6f);
        fillRect(float(box.left + 1), float(box.top + 1), float(box.right - 1), float(box.bottom - 1), -0.25f);
    }
    font = valueFontFor();
    printAt(font, box.right - kMargin - measure(text), box.bottom - 5, text);
    if (!enabled || !typeable() || !(number.isOpen() || hovered))
        return;
    if (number.isOpen())
        glColor3f(1.0f, 1.0f, 0.0f);
    else
        glColor3f(0.35f, 0.35f, 0.5f);
    frameRect(float(box.left), float(box.top), float(box.right - 1), float(box.bottom), 0.0f, 1.0f);
}

} // namespace NSMenu
