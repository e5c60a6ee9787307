#pragma once
#include "ui/WindowItem.h"

namespace NSWindow {

// The base of every on-screen button: sets up 2D drawing over its area (in
// unit-square coordinates) and lets the concrete button draw its face.
class WindowButton : public WindowItem {
public:
    explicit WindowButton(int originMode);

    void draw() override;
    virtual void drawButton() = 0;

protected:
    const int originMode;
};

} // namespace NSWindow
