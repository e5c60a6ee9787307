#pragma once
// A typed text field. A click selects the whole text, so the first key
// typed replaces it; the keys then edit the text by the item's type, and
// Enter or leaving the field (a press elsewhere, Escape) offers the value to
// the menu. Text longer than the field shows its end.

#include <string>

#include "menu/MenuItem.h"

namespace NSMenu {

class MenuItemInput : public MenuItem {
public:
    explicit MenuItemInput(MenuItemHost* menu) : MenuItem(menu, true) {}
    // A left press starts editing: the parent's routing gives the field the
    // focus, the field selects its text.
    bool mouseButton(int button, int state, int, int, int) override;
    // Takes every plain key while edited; Escape commits, leaves the field
    // and is passed on (false), so that it also deselects.
    bool keyPressed(int key, int modifiers, bool special) override;
    void focusLost() override;
    bool takesTyping() const override { return enabled && getParent() && hasFocus(); }
    // Stores the value; the text follows it unless the field is being edited
    // (has the focus).
    void setValue(const Value& v) override;
    Value getValue() const override { return value; }
    const std::string& getText() const { return text; }
    // The text as the player reads it: a switch says "on" or "off" in the
    // player's language, a number wears the language's decimal mark (either
    // mark may be typed).
    std::string shownText() const;
    bool isTextSelected() const { return selectedAll; }
    // Offers the typed value (if anything was typed) and shows the value
    // that holds afterwards.
    void commit();

    // The text shown for a value of a type.
    static std::string format(unsigned type, const Value& value);

protected:
    void drawContent() override;

private:
    // Edits the text by the key; false when the key was refused.
    bool editText(int key);
    // The same for a whole or decimal number.
    bool editNumber(int key);
    // Reads the text as a value of the item's type; false when it is not
    // (yet) one, such as "-", "1." or an emptied field.
    bool parse(Value& out) const;

    Value value;
    std::string text = "0";
    // Typed since the last commit.
    bool typed = false;
    // The whole text is selected: the next key replaces it.
    bool selectedAll = false;
};

} // namespace NSMenu
