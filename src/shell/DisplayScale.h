#pragma once
// The interface's scale. Window items are laid out in units of a 96 dpi
// screen: the menu is 170 units wide, the label font 13 units high. On a
// high-density screen each unit takes scale pixels, so the menu, its fonts,
// the buttons and the whole 2D interface grow together, and the 3D view
// fills the same share of the window. The window sets the scale once at
// start-up (--scale, or from the X server's dots per inch); everything that
// turns units into pixels reads it here: the viewports of the items and of
// the 3D view, picking, the mouse, and the bitmap fonts.

namespace NSWindow {

float displayScale();
void setDisplayScale(float scale);

// The scale for a screen of that many dots per inch: 96 dpi and below are 1,
// above that the nearest quarter step, at most 4.
float scaleForDpi(double dpi);

// Units to pixels (rounded) and pixels to the unit they lie in.
int unitsToPixels(int units, float scale = displayScale());
int pixelToUnit(int pixel, float scale = displayScale());
// The number of units that cover so many pixels (rounded up).
int unitsCovering(int pixels, float scale = displayScale());

} // namespace NSWindow
