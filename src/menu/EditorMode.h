#pragma once
// Whether the level designer is editing: custom mode outside a test run. The
// side menu sets it; drawable nodes and the scene ask it (every object is
// pickable then, outlines turn green, CTRL+click may move anything).
namespace NSMenu {

bool isDesignerEditing();
void setDesignerEditing(bool editing);

} // namespace NSMenu
