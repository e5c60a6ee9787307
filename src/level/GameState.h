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
//  - the editor's level survives every transition and crashes: it is kept
//    in levels/_autosave.lvl after every finished edit, at every change of
//    mode and at exit, and the editor is not left while that fails;
//  - undo and redo walk the steps recorded since the level was built, only
//    while the machine is stopped; loads and "New Level" are steps too;
//  - an edit the level files cannot hold (a number out of their range) is
//    refused and undone at once;
//  - a quick save knows whose it is: F3 in level mode loads only one of the
//    same built-in level.
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
    // The quick save's owner in the editor ("level <n>" in level mode).
    static constexpr const char* kEditorOwner = "editor";
    static constexpr const char* kOwnNameText = "Names starting with \"_\" are the game's own";

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

    // At start: opens the level file at path (a path as given) in Custom
    // Mode; a file that cannot be read leaves level mode, with the load
    // failure's message.
    void openAtStart(const std::string& path);

    // Called by the level controller once it has built the custom level's
    // empty room: brings back the kept level when there is one, and opens
    // the file asked for at start. Back in level mode if that fails.
    void customBuilt();
    // Called by the level controller after every build: the history starts
    // afresh, or ("New Level") the build is one more step.
    void levelBuilt();

    // Writes the editor's level (its record and the editor's layout) to the
    // autosave file; false when there is nothing to keep or it failed (then
    // autosaveProblem() says why).
    bool writeAutosave();
    const std::string& autosaveProblem() const { return autosaveProblem_; }

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
    // The translated pattern with its one %s filled in, for a pop-up.
    static std::string filled(const char* pattern, const std::string& value);
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
    // when they cannot be written (refused names the value the writer
    // would not take).
    bool captureEdits(EditState& state, std::string* refused = nullptr) const;
    // After a recorded step: the editor's level goes to the autosave file.
    void keepEdits();
    // The owner written into this mode's quick saves.
    std::string owner() const;
    // The pop-up for F3 in level mode over a quick save of another owner.
    void refuseQuickLoad(const std::string& of) const;
    // Undo (forth false) or redo.
    bool walk(bool forth);
    // Reads back the parts of to that differ from from; the camera stays.
    bool bringBack(const EditState& to, const EditState& from);
    std::string describe(int id) const;
    void restoreKeptLevel();

    ControllerLevel& levels_;
    Mode mode_ = Mode::Level;
    // Whether the next build of the custom level continues the autosave
    // file, and whether that file was written in this session.
    bool resumeCustom_ = true;
    bool autosaveFromThisSession_ = false;
    // The level file to open once the custom level is built.
    std::string startFile_;
    std::string autosaveProblem_;
    // The last autosave after an edit failed (told once until it works).
    bool autosaveFailing_ = false;
    // "Level Mode" was refused for a failed autosave: pressed again, it
    // leaves the editor anyway.
    bool leaveUnkeptAsked_ = false;
    // The next build is a step ("New Level"), not a new history.
    bool buildIsStep_ = false;
    UndoHistory history_;
};

} // namespace NSLevel
