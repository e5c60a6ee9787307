#pragma once
// Owns the levels in play order, loads the current one on request, checks its
// goals every frame while the machine runs and switches the three level
// screens (information panel, win screen, text input).
#include <memory>
#include <vector>

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

class ControllerLevel : public NSWindow::LevelControl {
public:
    // The game's controller: the built-in levels, screens on the window.
    static ControllerLevel& instance();

    // levels are owned; custom (may be null) is the editor's level; the
    // screens are added to screenParent; keeper (owned, may be null) keeps
    // the player's progress, and the game starts at the level played last.
    ControllerLevel(std::vector<Level*> levels, Level* custom, NSWindow::WindowItem* screenParent,
                    ProgressKeeper* keeper = nullptr);
    ~ControllerLevel() override;

    void update() override;
    void toggleInfo() override;
    void previousLevel() override;
    void nextLevel() override;
    void saveCurrent() override;
    void loadCurrent() override;
    void quit() override;

    void selectLevel(unsigned index);
    void selectCustom();
    // Opens the current built-in level again as built, forgetting the
    // player's layout of it.
    void resetLevel();
    // The player's progress, or null when none is kept.
    const Progress* progress() const;
    int lastIndex() const;
    Level* currentLevel() const { return current; }
    unsigned currentIndex() const { return index; }
    Level* customLevel() const { return custom.get(); }
    size_t levelCount() const { return levels.size(); }

    void setInfoShown(bool shown);
    bool isInfoShown() const { return infoShown; }
    void setWinScreenShown(bool shown);
    void showInput(bool visible, bool nameMode);
    void backToCurrentLevel();

    LevelInfo* getInfo() const { return info; }
    LevelScreenWin* getWinScreen() const { return winScreen; }
    LevelScreenInput* getInputScreen() const { return inputScreen; }

private:
    bool loadRequested = true;
    // The scene that reports its steps to this controller.
    NSScene::Scene* observedScene = nullptr;
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
    std::unique_ptr<ProgressKeeper> keeper;
    bool resetRequested = false;
};

// The built-in levels in play order.
std::vector<Level*> makeBuiltInLevels();

} // namespace NSLevel
