#pragma once
// What a menu item needs from the menu that holds it: the two fonts (which also
// set the drawing colour) and the path of a change back to the value's owner.

#include <string>

#include "editable/MenuEntry.h"

namespace NSGraphic {
class GLFont;
}

namespace NSMenu {

class MenuItemHost {
public:
    virtual ~MenuItemHost() = default;
    // A user changed an item's value (or pressed it). The answer tells the item
    // whether to keep the new value.
    virtual bool itemChanged(const std::string& label, const Value& value) = 0;
    // The fonts for labels and values; each sets the current colour for the
    // enabled or greyed look. May answer null (nothing is printed then).
    virtual NSGraphic::GLFont* getLabelFont(bool enabled) = 0;
    virtual NSGraphic::GLFont* getValueFont(bool enabled) = 0;
};

} // namespace NSMenu
