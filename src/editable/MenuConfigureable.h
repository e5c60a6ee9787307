#pragma once
// What every editable class offers the menu (and the level builders): its
// entries in display order, and reading and writing a value by its label.
#include <string>
#include <vector>

#include "editable/MenuEntry.h"

namespace NSMenu {

class MenuConfigureable {
public:
    virtual ~MenuConfigureable() = default;
    // Applies value to the field with this label; unknown labels are ignored
    // (false).
    virtual bool setMenuValue(std::string label, MenuEntry::Value value) = 0;
    // The current value of the field with this label, or a default value.
    virtual MenuEntry::Value getMenuValue(std::string label) = 0;
    // Appends the entries in display order; detailed adds the designer's
    // entries (custom mode).
    virtual void getMenuEntries(std::vector<MenuEntry>& list, bool detailed) = 0;
    virtual unsigned getMenuFlags() = 0;
    virtual std::string getMenuPicture() = 0;
};

} // namespace NSMenu
