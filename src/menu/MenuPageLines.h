#pragma once
// The lines every page of the side menu is built from: headers, buttons,
// number fields, the footer and the buttons that create objects.
#include <string>
#include <vector>

#include "editable/MenuEntry.h"

namespace NSMenu {
namespace pageLines {

MenuEntry header(const std::string& label);
MenuEntry button(const std::string& label);
MenuEntry intButton(const std::string& label, int value);
MenuEntry intInput(const std::string& label, int value, bool enabled);
// "3 - name"
std::string numbered(size_t index, const std::string& name);
// The "MENU" header with the "Back" button and a separator.
void footer(std::vector<MenuEntry>& list);
// A button for every kind of object the editor can create.
void creationButtons(std::vector<MenuEntry>& list);
bool isCreationName(const std::string& label);

} // namespace pageLines
} // namespace NSMenu
