#pragma once
// Keeps the player's progress while the game runs: counts the machine's runs
// and records wins of the built-in levels, remembers the level played last,
// saves the player's layout of a level when it is left (and when the game
// ends) as levels/_layout<number>.lvl and brings it back when the level is
// opened again. The level controller calls it at those moments.
#include <string>

#include "level/Progress.h"

namespace NSScene {
class Scene;
}

namespace NSLevel {

class Level;

class ProgressKeeper {
public:
    // Reads the progress file at path; a damaged one is set aside and the
    // keeper starts fresh (wasDamaged tells, for the message to the player).
    explicit ProgressKeeper(const std::string& path);

    bool wasDamaged() const { return damaged; }
    const Progress& progress() const { return data; }

    // Built-in level index has been built: its saved layout replaces the
    // built one (unless fresh is set), and it becomes the level played last.
    void enter(Level& level, unsigned index, bool fresh);
    // The level entered last is about to go (or the game ends): its layout
    // is saved. Nothing happens outside a built-in level or when the scene
    // is empty (the editor took it over).
    void leave(NSScene::Scene* scene);
    // Forgets the saved layout of level index.
    void forgetLayout(unsigned index);
    // Once a frame: counts a start of the machine, records a win at wonAt
    // (the simulated time of the winning step; only while the level's goals
    // pair the kinds of objects it was built with), and tells the player
    // (once the window has a size) that a damaged file was set aside or that
    // levels/ is read-only.
    void watch(const NSScene::Scene* scene, bool won, double wonAt);
    // The win of the machine's latest run, for the win screen: its seconds
    // as recorded and the runs it took (in the editor's level, counted since
    // the level was opened); won is false until that run wins.
    const LevelProgress& lastWin() const { return latestWin; }

    static constexpr const char* kDamagedMessage = "Progress file damaged: set aside, starting afresh";
    static constexpr const char* kReadOnlyMessage = "The folder levels/ is read-only: your layouts are not kept";
    static constexpr const char* kLayoutLostMessage = "Your layout of the level could not be kept (see log.txt)";

private:
    Progress data;
    bool damaged = false;
    bool readOnly = false;
    bool damageTold = false;
    // The kinds of objects the active level's goals paired when it was built.
    std::string builtAs;
    Level* active = nullptr;
    unsigned activeIndex = 0;
    bool wasRunning = false;
    bool winRecorded = false;
    unsigned runsHere = 0;
    LevelProgress latestWin;
};

} // namespace NSLevel
