#pragma once
// The side menu's scroll bar: a 15 pixel strip at the column's right edge
// that appears when the items are taller than the window. Dragging its thumb
// sets the pixel offset by which the menu shifts its items.

#include "ui/WindowItem.h"

namespace NSMenu {

class MenuSlider : public NSWindow::WindowItem {
public:
    MenuSlider();

    // A new column: everything scrolls back to the top, unless keepOffset,
    // when the column stays where it was as far as the new height allows.
    void setContentHeight(int height, bool keepOffset = false);
    // Scrolls the column by delta pixels (positive: further down), stopping
    // at its top and bottom.
    void scrollBy(int delta);
    int getContentHeight() const { return contentHeight; }
    // Whether the offset changed since the last call; clears the flag.
    bool takeScrollChanged();
    int getOffset() const { return offset; }
    int getThumbPos() const { return thumbPos; }
    int getThumbLength() const { return thumbLength; }

    // A press counts as a drag to the press point.
    bool mouseButton(int button, int state, int modifiers, int x, int y) override;
    bool mouseDrag(int modifiers, int x, int y) override;
    void draw() override;
    // Shows the bar only while the content does not fit.
    void update() override;

private:
    void dragTo(int y);
    // The thumb's length for the current heights.
    void measureThumb();
    // The largest offset the content allows (0 when it fits).
    int maxOffset() const;

    int contentHeight = 0;
    int thumbPos = 15;
    int thumbLength = 10;
    int offset = 0;
    bool changed = false;
};

} // namespace NSMenu
