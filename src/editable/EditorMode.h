#pragma once
// Whether the level designer is editing: custom mode outside a test run. The
// side menu sets it; drawable nodes and the scene ask it (every object is
// pickable then, outlines turn green, CTRL+click may move anything).
namespace NSMenu {

bool isDesignerEditing();
void setDesignerEditing(bool editing);

// Whether the side menu is in custom mode (building or test-running a level)
// rather than level mode (playing the built-in levels).
bool isCustomMode();
void setCustomMode(bool custom);

} // namespace NSMenu
