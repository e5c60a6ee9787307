#pragma once
// The one owner of the game's state: the mode (playing the built-in levels,
// building the custom level, test-running it) together with the machine
// (stopped, running, paused) and the current level. Every command the player
// can give that changes levels, files or modes goes through here, and each is
// defined in every state; docs/game-state.md holds the table this class is
// built from. The rules in short:
//  - saves write the layout from before the run (the machine's snapshot, or
//    the editor's layout during a test), never the run's state;
//  - a successful load ends a run without bringing the old layout back;
//  - level changes (F5, F6, the level slider) leave the editor alone;
//  - the editor's level survives every transition and is kept in
//    levels/_autosave.lvl at every change of mode and at exit;
//  - undo and redo walk the steps recorded since the level was built or
//    loaded, only while the machine is stopped.
#include <string>

#include "level/UndoHistory.h"

namespace NSScene {
class Scene;
}

namespace NSLevel {

class ControllerLevel;
class Level;

enum class Mode { Level, Custom, CustomTest };
enum class Machine { Stopped, Running, Paused };

const char* modeName(Mode mode);

class GameState {
public:
    // The file the editor's level is kept in between modes and sessions.
    static constexpr const char* kAutosaveName = "_autosave";
    // The scene file of the editor's layout during a test run.
    static constexpr const char* kTestSceneName = "_test";
    // The message that tells the player how to leave the editor.
    static constexpr const char* kLeaveEditorText =
        "The editor keeps its level: \"Level Mode\" returns to the levels";
    static constexpr const char* kLeaveTestText = "Test run: \"Stop Test\", then \"Level Mode\" returns to the levels";
    static constexpr const char* kStopTestFirstText = "Test run: \"Stop Test\" first";

    explicit GameState(ControllerLevel& levels);

    Mode mode() const { return mode_; }
    Machine machine() const;
    Level* currentLevel() const;
    // The designer may change the scene: custom mode, machine stopped.
    bool mayEdit() const;

    // F2 and F3: the level file "_current".
    bool quickSave();
    bool quickLoad();
    // The management page's four buttons. Each shows its outcome.
    bool saveLevel(const std::string& name);
    bool loadLevel(const std::string& name);
    bool saveScene(const std::string& name);
    bool loadScene(const std::string& name);

    // F5, F6 and the level page's slider with "Load Level".
    void previousLevel();
    void nextLevel();
    void selectLevel(unsigned index);

    void enterLevelMode();
    void enterCustomMode();
    // "New Level": an empty room in place of the editor's level.
    void newCustomLevel();
    void startTest();
    void stopTest();
    // At exit: the editor's level goes to the autosave file.
    void shutdown();

    // Called by the level controller once it has built the custom level's
    // empty room: brings back the kept level when there is one.
    void customBuilt();

    // Writes the editor's level (its record and the editor's layout) to the
    // autosave file; false when there is nothing to keep or it failed.
    bool writeAutosave();

    // Undo and redo (CTRL+Z, CTRL+Y), in every mode while the machine is
    // stopped; running, they do nothing. commitEdits() records what the
    // commands since its last call changed as one step (the window calls it
    // once a command has ended: every button up, every key); undo and redo
    // call it first. The object the step touched ends up selected.
    void commitEdits();
    bool undo();
    bool redo();
    // Forgets every step (a load, a level built); the scene as it is now
    // is where the history starts.
    void forgetHistory();
    const UndoHistory& history() const { return history_; }

private:
    NSScene::Scene* scene() const;
    void popUp(const std::string& text) const;
    // The scene file holding the layout a save must write (the machine's
    // snapshot or the editor's pre-test layout), or "" for the scene as it is.
    std::string layoutSource() const;
    bool saveLevelAs(const std::string& name);
    // What a successful load does beyond reading: ends a run without
    // restoring, drops goals of missing objects, reports skipped objects.
    void afterLoad(const std::string& what, int skipped);
    void resetEditorFlags() const;
    // Refuses level changes outside level mode; true when refused.
    bool refuseOutsideLevelMode() const;
    // The level record and scene as saved, with a neutral camera; false
    // when they cannot be written.
    bool captureEdits(EditState& state) const;
    // Undo (forth false) or redo.
    bool walk(bool forth);
    // Reads back the parts of to that differ from from; the camera stays.
    bool bringBack(const EditState& to, const EditState& from);
    std::string describe(int id) const;

    ControllerLevel& levels_;
    Mode mode_ = Mode::Level;
    // Whether the next build of the custom level continues the autosave
    // file, and whether that file was written in this session.
    bool resumeCustom_ = true;
    bool autosaveFromThisSession_ = false;
    UndoHistory history_;
};

} // namespace NSLevel
