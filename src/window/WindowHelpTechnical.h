#pragma once
#include "ui/WindowItem.h"

namespace NSWindow {

// The technical help over the whole window: the SHIFT+F1 to F9 keys in green
// on a translucent grey veil. While it shows it takes every mouse event and,
// once clicked, the ordinary keys, so nothing beneath it can be used until
// SHIFT+F1 hides it again.
class WindowHelpTechnical : public WindowItem {
public:
    WindowHelpTechnical();

    bool mouseButton(int button, int state, int modifiers, int x, int y) override;
    bool mouseDrag(int modifiers, int x, int y) override;
    bool mouseMove(int buttons, int x, int y) override;
    bool keyPressed(int key, int modifiers, bool special) override;
    void draw() override;
};

} // namespace NSWindow
