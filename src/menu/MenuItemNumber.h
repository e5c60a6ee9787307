#pragma once
// A menu line that shows its value as a number the player may click and type
// into: the base of the slider and the position bar. While the number is
// open it takes every plain key; Enter takes it (a number out of range is
// refused with the range in a pop-up), Escape drops it, and a press
// elsewhere takes what was typed, as text fields do.

#include <string>

#include "menu/MenuItem.h"
#include "menu/NumberField.h"

namespace NSMenu {

class MenuItemNumber : public MenuItem {
public:
    MenuItemNumber(MenuItemHost* menu, bool showsLabel) : MenuItem(menu, showsLabel) {}

    void setReadout(const Readout& r) override;
    const NumberField& getNumber() const { return number; }
    bool isTyping() const { return number.isOpen(); }
    bool takesTyping() const override { return enabled && number.isOpen() && getParent() && hasFocus(); }
    void focusLost() override;
    // Takes what was typed, as Enter does.
    void commitTyped();
    // The number as the line shows it while it is not typed into.
    std::string shownText() const;

    // A screen rectangle in item pixels.
    struct Box {
        int left, top, right, bottom;
        bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    };

protected:
    // Whether the line has a number to type into, and where it shows.
    virtual bool typeable() const = 0;
    virtual Box numberBox() const = 0;
    // The value shown, in value units.
    virtual float shownValue() const = 0;
    // Offers a typed value (value units); false when its owner refuses it.
    virtual bool applyTyped(float value) = 0;
    // After a change of type, range or readout.
    virtual void syncNumber() {}

    // A press on the number opens it (true); a press elsewhere on the item
    // drops an open number.
    bool pressOnNumber(int x, int y);
    // Keys while the number is open; false when it is closed.
    bool numberKey(int key, bool special);
    // The number right-aligned in its box, with the typing box while open
    // and a frame while the pointer is over the line.
    void drawNumber();

    NumberField number;
};

} // namespace NSMenu
