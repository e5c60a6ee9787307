#pragma once
// A typed text field. The text is the editing state: each accepted key edits
// it by the item's type, and as soon as it reads as a complete value that value
// is offered to the menu.

#include <string>

#include "menu/MenuItem.h"

namespace NSMenu {

class MenuItemInput : public MenuItem {
public:
    explicit MenuItemInput(MenuItemHost* menu) : MenuItem(menu, true) {}
    // Only takes the click; the parent's routing gives the field the focus.
    bool mouseButton(int, int, int, int, int) override { return true; }
    bool keyPressed(int key, int modifiers, bool special) override;
    // Stores the value; the text follows it unless the field is being edited
    // (has the focus).
    void setValue(const Value& v) override;
    Value getValue() const override { return value; }
    const std::string& getText() const { return text; }

    // The text shown for a value of a type.
    static std::string format(unsigned type, const Value& value);

protected:
    void drawContent() override;

private:
    // Edits the text by the key; false when the text is not yet a value.
    bool editText(int key);

    Value value;
    std::string text = "0";
};

} // namespace NSMenu
