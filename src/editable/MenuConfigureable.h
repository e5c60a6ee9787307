#pragma once
// What every editable class offers the menu (and the level builders): its
// entries in display order, reading and writing a value by its label, and
// a count of the times its lines changed (the menu builds the page again
// when a value it gave moved that count).
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

    // Moves whenever getMenuEntries would give other lines than before (a
    // mode with lines of its own, a switch that greys lines, a volume made, a
    // new name); a new value on a line that stays leaves it alone.
    unsigned menuLinesVersion() const { return linesVersion; }

protected:
    void menuLinesChanged() { ++linesVersion; }

private:
    unsigned linesVersion = 0;
};

} // namespace NSMenu
