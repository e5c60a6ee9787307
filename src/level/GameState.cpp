#include "level/GameState.h"

#include <cstdio>
#include <filesystem>

#include "level/ControllerLevel.h"
#include "editable/EditorMode.h"
#include "persistence/SerialStream.h"
#include "scene/Scene.h"
#include "shell/Log.h"
#include "shell/Host.h"
#include "shell/Language.h"
#include "shell/SafeFile.h"

namespace NSLevel {

const char* modeName(Mode mode) {
    switch (mode) {
    case Mode::Level: return "level mode";
    case Mode::Custom: return "custom mode";
    case Mode::CustomTest: return "test mode";
    }
    return "";
}

// The game state is the one writer of the editor flags: it sets them at
// every change of mode, and here to match the level mode it starts in.
GameState::GameState(ControllerLevel& levels) : levels_(levels) { resetEditorFlags(); }

namespace {

constexpr const char* kNotKeptText = "The editor's level could not be kept (%s): save it by name";

} // namespace

std::string GameState::filled(const char* pattern, const std::string& value) {
    char text[300];
    std::snprintf(text, sizeof text, tr(pattern).c_str(), value.c_str());
    return text;
}

NSScene::Scene* GameState::scene() const { return Level::scene(); }

Level* GameState::currentLevel() const { return levels_.currentLevel(); }

void GameState::popUp(const std::string& text) const { NSWindow::host().showTempPopUp(text); }

Machine GameState::machine() const {
    NSScene::Scene* s = scene();
    if (!s || !s->isRunning())
        return Machine::Stopped;
    return s->isPaused() ? Machine::Paused : Machine::Running;
}

bool GameState::mayEdit() const { return mode_ == Mode::Custom && machine() == Machine::Stopped; }

void GameState::resetEditorFlags() const {
    NSMenu::setCustomMode(mode_ != Mode::Level);
    NSMenu::setDesignerEditing(mode_ == Mode::Custom);
}

// --- level changes -------------------------------------------------------------

bool GameState::refuseOutsideLevelMode() const {
    if (mode_ == Mode::Level)
        return false;
    popUp(mode_ == Mode::CustomTest ? kLeaveTestText : kLeaveEditorText);
    return true;
}

void GameState::previousLevel() {
    if (refuseOutsideLevelMode())
        return;
    if (levels_.currentIndex() > 0)
        levels_.selectLevel(levels_.currentIndex() - 1);
}

void GameState::nextLevel() {
    if (refuseOutsideLevelMode()) {
        // NEXT on the win screen of a test run: back to the test.
        if (levels_.getWinScreen() && levels_.isWinScreenShown())
            levels_.backToCurrentLevel();
        return;
    }
    levels_.selectLevel(levels_.currentIndex() + 1);
}

void GameState::selectLevel(unsigned index) {
    if (refuseOutsideLevelMode())
        return;
    levels_.selectLevel(index);
}

// --- modes ---------------------------------------------------------------------

bool GameState::writeAutosave() {
    Level* level = currentLevel();
    if (mode_ == Mode::Level || !level || level != levels_.customLevel())
        return false;
    const bool ok = level->save(kAutosaveName, layoutSource());
    autosaveProblem_ = ok ? std::string() : level->saveProblem();
    if (ok) {
        autosaveFromThisSession_ = true;
        log(LOG_GAME, "The editor's level is kept in \"%s\"\n", levelFilePath(kAutosaveName).c_str());
    } else {
        log(LOG_ERROR, "The editor's level could not be kept in \"%s\": %s\n", levelFilePath(kAutosaveName).c_str(),
            autosaveProblem_.c_str());
    }
    return ok;
}

void GameState::keepEdits() {
    if (mode_ != Mode::Custom)
        return;
    const bool kept = writeAutosave();
    if (!kept && !autosaveFailing_)
        popUp(filled(kNotKeptText, autosaveProblem_));
    autosaveFailing_ = !kept;
    leaveUnkeptAsked_ = false;
}

void GameState::enterLevelMode() {
    if (mode_ == Mode::Level)
        return;
    // The editor is not left while its level cannot be kept, unless the
    // player asks a second time.
    if (!writeAutosave() && currentLevel() == levels_.customLevel() && !leaveUnkeptAsked_) {
        leaveUnkeptAsked_ = true;
        popUp(filled("Level not kept (%s): save it by name, or \"Level Mode\" again leaves it", autosaveProblem_));
        return;
    }
    leaveUnkeptAsked_ = false;
    mode_ = Mode::Level;
    resumeCustom_ = true;
    resetEditorFlags();
    if (NSScene::Scene* s = scene()) {
        s->machine().discard();
        s->clearScene();
    }
    levels_.selectLevel(0);
}

void GameState::enterCustomMode() {
    if (mode_ != Mode::Level)
        return;
    mode_ = Mode::Custom;
    resumeCustom_ = true;
    resetEditorFlags();
    // The level controller stops a run (restoring the layout from before
    // it) and keeps the player's layout of the level as it goes.
    levels_.selectCustom();
}

void GameState::newCustomLevel() {
    if (!mayEdit())
        return;
    if (Level* custom = levels_.customLevel())
        custom->resetRecord();
    resumeCustom_ = false;
    buildIsStep_ = true;
    levels_.selectCustom();
}

void GameState::openAtStart(const std::string& path) {
    startFile_ = path;
    enterCustomMode();
}

void GameState::levelBuilt() {
    const bool step = buildIsStep_;
    buildIsStep_ = false;
    leaveUnkeptAsked_ = false;
    if (step)
        commitEdits();
    else
        forgetHistory();
}

void GameState::customBuilt() {
    restoreKeptLevel();
    if (startFile_.empty())
        return;
    const std::string path = startFile_;
    startFile_.clear();
    // The same messages as the editor's "Load Level", and the usual start
    // when the file cannot be read.
    const std::string problem = formatProblem(path, true);
    int skipped = 0;
    Level* custom = levels_.customLevel();
    if (problem.empty() && custom && custom->loadFile(path, path, &skipped)) {
        log(LOG_GAME, "Level file \"%s\" opened in Custom Mode\n", path.c_str());
        afterLoad("Level", skipped);
        return;
    }
    log(LOG_ERROR, "Level file \"%s\" not opened: %s\n", path.c_str(), problem.empty() ? "unreadable" : problem.c_str());
    popUp(problem.empty() ? std::string("Level could not be loaded") : "Level not loaded: " + problem);
    mode_ = Mode::Level;
    resetEditorFlags();
}

void GameState::restoreKeptLevel() {
    Level* custom = levels_.customLevel();
    const bool resume = resumeCustom_;
    resumeCustom_ = true;
    const std::string path = levelFilePath(kAutosaveName);
    if (!resume || !custom || !std::filesystem::exists(std::filesystem::symlink_status(path)))
        return;
    int skipped = 0;
    if (!formatProblem(path, true).empty() || !custom->load(kAutosaveName, &skipped)) {
        // Kept for the player, never written over: the next autosave would.
        const std::string aside = NSFile::setAside(path);
        popUp(aside.empty() ? std::string("The kept level could not be read")
                            : filled("The kept level could not be read: set aside as %s", aside));
        return;
    }
    custom->dropGoalsWithoutObjects();
    if (!autosaveFromThisSession_ && startFile_.empty())
        popUp("Your level of the last session is back");
    autosaveFromThisSession_ = true;
}

void GameState::startTest() {
    if (mode_ != Mode::Custom)
        return;
    NSScene::Scene* s = scene();
    if (!s)
        return;
    if (s->isRunning())
        s->setRunning(false);
    if (!s->saveScene(kTestSceneName)) {
        popUp("Scene could not be saved");
        return;
    }
    if (!writeAutosave())
        popUp(filled(kNotKeptText, autosaveProblem_));
    mode_ = Mode::CustomTest;
    resetEditorFlags();
    levels_.setInfoShown(true);
    forgetHistory();
}

void GameState::stopTest() {
    if (mode_ != Mode::CustomTest)
        return;
    NSScene::Scene* s = scene();
    levels_.setWinScreenShown(false);
    levels_.setInfoShown(false);
    if (s) {
        s->machine().discard();
        if (!s->loadScene(kTestSceneName))
            popUp("Scene could not be loaded");
    }
    if (Level* level = currentLevel())
        level->resetGoals();
    mode_ = Mode::Custom;
    resetEditorFlags();
    if (!writeAutosave())
        popUp(filled(kNotKeptText, autosaveProblem_));
    forgetHistory();
}

void GameState::shutdown() { writeAutosave(); }

} // namespace NSLevel
