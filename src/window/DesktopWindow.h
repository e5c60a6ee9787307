#pragma once
// What makes the game's window one the desktop knows: its class (matching
// the desktop entry's StartupWMClass), its process id, its icon, and the
// interface's scale taken from the X server's dots per inch.
#include <string>
#include <vector>

namespace NSWindow {

// The WM_CLASS of the window: instance "quibbleton", class "Quibbleton".
extern const char* const kWindowClass;

// The interface's scale for the display (empty: $DISPLAY) from the X
// resource Xft.dpi the desktop sets, else from the screen's size in
// millimetres; 1 when neither tells or the display cannot be opened.
float scaleFromXServer(const std::string& display, std::string* source = nullptr);

// Sets the class, the process id, the icon and the least size (kMinWidth x
// kMinHeight units) on the current GLUT window, then maps it again, so that
// the window manager sees them from the start.
void dressWindow();
constexpr int kMinWidth = 400;
constexpr int kMinHeight = 300;

// Brings the current GLUT window to the front (de-iconified, raised, and
// asked to be made active).
void raiseWindow();

// A small window of its own with text in it, for a few seconds (or until a
// key or a click), where the game cannot start: returns when it closes.
void showNotice(int* argc, char** argv, const std::string& text);

// The game's icon, size x size pixels, as _NET_WM_ICON wants it: width,
// height, then ARGB pixels row by row from the top.
std::vector<unsigned long> iconData(int size);

} // namespace NSWindow
