#pragma once

namespace NSWindow {

// What the window asks of the level controller once per frame and on the
// level keys (F1, F2, F3, F5, F6).
class LevelControl {
public:
    virtual ~LevelControl() = default;
    virtual void update() = 0;
    virtual void toggleInfo() = 0;
    virtual void previousLevel() = 0;
    virtual void nextLevel() = 0;
    // Quick save and load of the "_current" scene.
    virtual void saveCurrent() = 0;
    virtual void loadCurrent() = 0;
    // The game ends: a last chance to keep what the player did.
    virtual void quit() {}
    // A command of the player's has ended (a button released, a key
    // pressed): what it changed becomes one step to undo.
    virtual void commandEnded() {}
    // CTRL+Z and CTRL+Y; true when a step was brought back.
    virtual bool undo() { return false; }
    virtual bool redo() { return false; }
};

} // namespace NSWindow
