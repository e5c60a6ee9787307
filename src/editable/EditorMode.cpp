#include "editable/EditorMode.h"

namespace NSMenu {

namespace {
bool designerEditing = false;
bool customMode = false;
}

bool isDesignerEditing() { return designerEditing; }
void setDesignerEditing(bool editing) { designerEditing = editing; }
bool isCustomMode() { return customMode; }
void setCustomMode(bool custom) { customMode = custom; }

} // namespace NSMenu
