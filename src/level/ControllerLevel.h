#pragma once
// Owns the levels in play order, loads the current one on request, checks its
// goals every frame while the machine runs and switches the three level
// screens (information panel, win screen, text input).
#include <memory>
#include <vector>

#include "level/GameState.h"
#include "level/Level.h"
#include "shell/LevelControl.h"

namespace NSWindow {
class WindowItem;
}

namespace NSLevel {

class LevelInfo;
class LevelScreenWin;
class LevelScreenInput;
class Progress;
class ProgressKeeper;
struct LevelProgress;

class ControllerLevel : public NSWindow::LevelControl {
public:
    // The game's controller: the built-in levels, screens on the window.
    static ControllerLevel& instance();

    // levels are owned; custom (may be null) is the editor's level; the
    // screens are added to screenParent (null: laid over the game's window); keeper (owned, may be null) keeps
    // the player's progress, and the game starts at the level played last.
    ControllerLevel(std::vector<Level*> levels, Level* custom, NSWindow::WindowItem* screenParent,
                    ProgressKeeper* keeper = nullptr);
    ~ControllerLevel() override;

    void update() override;
    void toggleInfo() override;
    // F5, F6, F2, F3 and the end of the game (quit) go through the game's state,
    // which decides what they do in the current mode.
    void previousLevel() override { state_.previousLevel(); }
    void nextLevel() override { state_.nextLevel(); }
    void saveCurrent() override { state_.quickSave(); }
    void loadCurrent() override { state_.quickLoad(); }
    void quit() override;
    void commandEnded() override { commitRequested = true; }
    bool undo() override { return state_.undo(); }
    bool redo() override { return state_.redo(); }

    GameState& state() { return state_; }
    const GameState& state() const { return state_; }

    // Loads the built-in level at index (out of range: nothing) or the
    // custom level at the next update, whatever the mode; the player's
    // commands use the state's checked versions.
    void selectLevel(unsigned index);
    void selectCustom();
    // Opens the current built-in level again as built, forgetting the
    // player's layout of it.
    void resetLevel();
    // The player's progress, or null when none is kept.
    const Progress* progress() const;
    // The win of the machine's latest run (won false: none yet), or null
    // when no progress is kept.
    const LevelProgress* lastWin() const;
    int lastIndex() const;
    Level* currentLevel() const { return current; }
    unsigned currentIndex() const { return index; }
    Level* customLevel() const { return custom.get(); }
    size_t levelCount() const { return levels.size(); }

    void setInfoShown(bool shown);
    bool isInfoShown() const { return infoShown; }
    void setWinScreenShown(bool shown);
    bool isWinScreenShown() const;
    void showInput(bool visible, bool nameMode);
    void backToCurrentLevel();

    LevelInfo* getInfo() const { return info; }
    LevelScreenWin* getWinScreen() const { return winScreen; }
    LevelScreenInput* getInputScreen() const { return inputScreen; }

private:
    // Leaves the current level and builds the requested one.
    void loadRequestedLevel();
    void buildCustomLevel();
    // Has a new scene report its steps, to check the goals after each.
    void observeSteps(NSScene::Scene* scene);
    // Checks the goals of a running machine, or clears them once it stopped.
    void updateWin(NSScene::Scene* scene);

    bool loadRequested = true;
    // The scene that reports its steps to this controller.
    NSScene::Scene* observedScene = nullptr;
    // The simulated time of the step that won the current level.
    double wonAt = 0.0;
    Level* current = nullptr;
    std::unique_ptr<Level> custom;
    std::vector<std::unique_ptr<Level>> levels;
    unsigned index = 0;
    bool infoShown = false;
    // The screens belong to the window's item tree.
    LevelInfo* info = nullptr;
    LevelScreenWin* winScreen = nullptr;
    LevelScreenInput* inputScreen = nullptr;
    bool customRequested = false;
    GameState state_{*this};
    std::unique_ptr<ProgressKeeper> keeper;
    bool resetRequested = false;
    // A command has ended: the next update records what it changed.
    bool commitRequested = false;
};

// The built-in levels in play order.
std::vector<Level*> makeBuiltInLevels();

} // namespace NSLevel
