#include "menu/EditorMode.h"

namespace NSMenu {

namespace {
bool designerEditing = false;
}

bool isDesignerEditing() { return designerEditing; }
void setDesignerEditing(bool editing) { designerEditing = editing; }

} // namespace NSMenu
