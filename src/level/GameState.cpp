#include "level/GameState.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "level/ControllerLevel.h"
#include "editable/EditorMode.h"
#include "persistence/SerialStream.h"
#include "scene/Scene.h"
#include "shell/Log.h"
#include "shell/Host.h"

namespace NSLevel {

namespace {

std::string plural(int n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

} // namespace

const char* modeName(Mode mode) {
    switch (mode) {
    case Mode::Level: return "level mode";
    case Mode::Custom: return "custom mode";
    case Mode::CustomTest: return "test mode";
    }
    return "";
}

GameState::GameState(ControllerLevel& levels) : levels_(levels) {}

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

// --- saving and loading --------------------------------------------------------

std::string GameState::layoutSource() const {
    if (mode_ == Mode::CustomTest)
        return NSScene::sceneFilePath(kTestSceneName);
    if (machine() != Machine::Stopped)
        return NSScene::sceneFilePath(NSScene::Scene::kSnapshotName);
    return std::string();
}

bool GameState::saveLevelAs(const std::string& name) {
    Level* level = currentLevel();
    return level && level->save(name, layoutSource());
}

bool GameState::quickSave() {
    if (!currentLevel())
        return false;
    const bool ok = saveLevelAs(NSScene::Scene::kSnapshotName);
    popUp(ok ? "Level saved successfully" : "Level could not be saved");
    return ok;
}

bool GameState::quickLoad() { return currentLevel() && loadLevel(NSScene::Scene::kSnapshotName); }

bool GameState::saveLevel(const std::string& name) {
    const bool ok = saveLevelAs(name);
    popUp(ok ? "Level saved successfully" : "Level could not be saved");
    return ok;
}

bool GameState::saveScene(const std::string& name) {
    NSScene::Scene* s = scene();
    bool ok = false;
    if (s && isSafeFileName(name)) {
        const std::string source = layoutSource();
        if (source.empty()) {
            ok = s->saveScene(name);
        } else if (NSScene::ensureLevelsFolder()) {
            // The layout from before the run (or the test), byte for byte.
            std::ifstream in(source, std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            NSSerialize::SerialStream out(NSScene::sceneFilePath(name), true);
            if (!in.good() && !in.eof())
                out.fail("the layout to save could not be read");
            out.writeRaw(bytes);
            ok = out.close();
        }
    }
    popUp(ok ? "Scene saved successfully" : "Scene could not be saved");
    return ok;
}

bool GameState::loadLevel(const std::string& name) {
    Level* level = currentLevel();
    if (mode_ == Mode::CustomTest) {
        popUp(kStopTestFirstText);
        return false;
    }
    if (!level || !isSafeFileName(name)) {
        popUp("Level could not be loaded");
        return false;
    }
    const std::string problem = formatProblem(levelFilePath(name), true);
    if (!problem.empty()) {
        log(LOG_ERROR, "Level \"%s\" refused: its %s; this game reads \"%s\" only\n", name.c_str(), problem.c_str(),
            NSSerialize::SerialStream::kCurrentVersion);
        popUp("Level not loaded: " + problem);
        return false;
    }
    int skipped = 0;
    if (!level->load(name, &skipped)) {
        popUp("Level could not be loaded");
        return false;
    }
    afterLoad("Level", skipped);
    return true;
}

bool GameState::loadScene(const std::string& name) {
    NSScene::Scene* s = scene();
    if (mode_ == Mode::CustomTest) {
        popUp(kStopTestFirstText);
        return false;
    }
    if (!s || !isSafeFileName(name)) {
        popUp("Scene could not be loaded");
        return false;
    }
    // The scene file, or else the scene part of the level file of that name.
    std::string path = NSScene::sceneFilePath(name);
    bool levelFile = false;
    if (!std::filesystem::exists(path) && currentLevel()) {
        path = levelFilePath(name);
        levelFile = true;
    }
    const std::string problem = formatProblem(path, levelFile);
    if (!problem.empty()) {
        log(LOG_ERROR, "Scene \"%s\" refused: its %s; this game reads \"%s\" only\n", name.c_str(), problem.c_str(),
            NSSerialize::SerialStream::kCurrentVersion);
        popUp("Scene not loaded: " + problem);
        return false;
    }
    NSSerialize::SerialStream stream(path, false);
    if (levelFile) {
        stream.readString();
        stream.skipBlock();
    }
    if (stream.failed() || !s->readScene(stream)) {
        popUp("Scene could not be loaded");
        return false;
    }
    afterLoad("Scene", stream.skippedCount());
    return true;
}

void GameState::afterLoad(const std::string& what, int skipped) {
    if (NSScene::Scene* s = scene())
        s->discardRun();
    levels_.setWinScreenShown(false);
    int dropped = 0;
    if (Level* level = currentLevel()) {
        level->resetGoals();
        dropped = level->dropGoalsWithoutObjects();
    }
    // The steps before lead to another scene.
    const bool hadSteps = history_.undoCount() + history_.redoCount() > 0;
    forgetHistory();
    if (skipped > 0)
        log(LOG_ERROR, "%s: %d objects of the file could not be read and are missing\n", what.c_str(), skipped);
    if (skipped == 0 && dropped == 0) {
        popUp(what + (hadSteps ? " loaded; undo history cleared" : " loaded successfully"));
        return;
    }
    // One short line: the details are in the log.
    std::string text = what + " loaded:";
    if (skipped > 0)
        text += " " + plural(skipped, "object", "objects") + " unreadable" + (dropped > 0 ? "," : "");
    if (dropped > 0)
        text += " " + plural(dropped, "goal", "goals") + " dropped";
    popUp(text + (hadSteps ? "; undo history cleared" : ""));
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
    if (ok) {
        autosaveFromThisSession_ = true;
        log(LOG_GAME, "The editor's level is kept in \"%s\"\n", levelFilePath(kAutosaveName).c_str());
    } else {
        log(LOG_ERROR, "The editor's level could not be kept in \"%s\"\n", levelFilePath(kAutosaveName).c_str());
        popUp("The editor's level could not be kept: save it by name");
    }
    return ok;
}

void GameState::enterLevelMode() {
    if (mode_ == Mode::Level)
        return;
    writeAutosave();
    mode_ = Mode::Level;
    resumeCustom_ = true;
    resetEditorFlags();
    if (NSScene::Scene* s = scene()) {
        s->discardRun();
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
    if (NSScene::Scene* s = scene()) {
        s->discardRun();
        s->clearScene();
    }
    levels_.selectCustom();
}

void GameState::newCustomLevel() {
    if (!mayEdit())
        return;
    if (Level* custom = levels_.customLevel())
        custom->resetRecord();
    resumeCustom_ = false;
    levels_.selectCustom();
}

void GameState::customBuilt() {
    Level* custom = levels_.customLevel();
    const bool resume = resumeCustom_;
    resumeCustom_ = true;
    if (!resume || !custom || !std::filesystem::exists(levelFilePath(kAutosaveName)))
        return;
    int skipped = 0;
    if (!formatProblem(levelFilePath(kAutosaveName), true).empty() || !custom->load(kAutosaveName, &skipped)) {
        popUp("The kept level could not be read");
        return;
    }
    custom->dropGoalsWithoutObjects();
    if (!autosaveFromThisSession_)
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
    writeAutosave();
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
        s->discardRun();
        if (!s->loadScene(kTestSceneName))
            popUp("Scene could not be loaded");
    }
    if (Level* level = currentLevel())
        level->resetGoals();
    mode_ = Mode::Custom;
    resetEditorFlags();
    writeAutosave();
    forgetHistory();
}

void GameState::shutdown() { writeAutosave(); }

} // namespace NSLevel
