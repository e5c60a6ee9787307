#pragma once
// The two click widgets: a true/false choice and a push button.

#include "menu/MenuItem.h"

namespace NSMenu {

// Two boxes, "true" and "false"; clicking the other one asks for the change.
class MenuItemBool : public MenuItem {
public:
    explicit MenuItemBool(MenuItemHost* menu) : MenuItem(menu, true) {}
    bool mouseButton(int button, int state, int modifiers, int x, int y) override;
    // Takes the bool only for a Bool item.
    void setValue(const Value& value) override;
    Value getValue() const override;
    bool getState() const { return state; }

protected:
    void drawContent() override;

private:
    bool state = true;
};

// Fires its value under its label on the press; the answer does not matter.
class MenuItemButton : public MenuItem {
public:
    explicit MenuItemButton(MenuItemHost* menu) : MenuItem(menu, false) {}
    bool mouseButton(int button, int state, int modifiers, int x, int y) override;
    void setValue(const Value& v) override { value = v; }
    Value getValue() const override { return value; }
    bool isPressed() const { return pressed; }
    int labelRoom() const override { return 118; }

protected:
    void drawContent() override;
    NSGraphic::GLFont* labelDrawFont() const override { return valueFontFor(); }

private:
    Value value;
    bool pressed = false;
};

} // namespace NSMenu
