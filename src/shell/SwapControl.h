#pragma once
// The swap interval of the current GLX drawable: 1 waits for the display's
// refresh at every buffer swap, 0 swaps at once.

namespace NSWindow {

// Sets the interval through whichever GLX swap control extension the driver
// offers; false when it offers none (or refuses), and the frame cap alone
// paces the drawing.
bool setSwapInterval(int interval);

} // namespace NSWindow
