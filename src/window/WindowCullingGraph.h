#pragma once
#include "ui/WindowItem.h"

namespace NSWindow {

// A small bar under the label "Culling": its green share is the fraction of
// models the scene view culled in the last frame, the rest is red.
class WindowCullingGraph : public WindowItem {
public:
    WindowCullingGraph();

    // The culled fraction of the last frame; kept within 0 to 1.
    void setValue(float fraction);
    float getValue() const { return value; }

    void draw() override;

private:
    float value = 0.0f;
};

} // namespace NSWindow
