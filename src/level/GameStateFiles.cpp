// The game's state and files: quick saves and loads (F2, F3), the management
// page's saves and loads, and what a load does to the run and the history.
#include <filesystem>

#include "level/ControllerLevel.h"
#include "level/GameState.h"
#include "persistence/SerialStream.h"
#include "scene/Scene.h"
#include "shell/Language.h"
#include "shell/Log.h"
#include "shell/Host.h"
#include "shell/SafeFile.h"

namespace NSLevel {

namespace {

bool isGameName(const std::string& name) { return !name.empty() && name[0] == '_'; }

} // namespace

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

std::string GameState::owner() const {
    return mode_ == Mode::Level ? "level " + std::to_string(levels_.currentIndex() + 1) : kEditorOwner;
}

bool GameState::quickSave() {
    Level* level = currentLevel();
    if (!level)
        return false;
    const bool ok = level->save(NSScene::Scene::kSnapshotName, layoutSource(), owner());
    popUp(ok ? "Level saved successfully" : "Level could not be saved");
    return ok;
}

void GameState::refuseQuickLoad(const std::string& of) const {
    log(LOG_GAME, "F3 refused in level %u: the quick save is of \"%s\"\n", levels_.currentIndex() + 1, of.c_str());
    if (of.compare(0, 6, "level ") == 0)
        popUp(filled("This quick save is of level %s: F3 loads it there", of.substr(6)));
    else
        popUp(of == kEditorOwner ? "This quick save is the editor's level: load it in Custom Mode"
                                 : "This quick save does not say whose it is: load it in Custom Mode");
}

bool GameState::quickLoad() {
    if (!currentLevel())
        return false;
    const std::string path = levelFilePath(NSScene::Scene::kSnapshotName);
    if (mode_ == Mode::Level && std::filesystem::exists(std::filesystem::symlink_status(path))) {
        // A built-in level takes only its own quick save.
        const std::string of = fileOwner(path);
        if (of != owner()) {
            refuseQuickLoad(of);
            return false;
        }
    }
    return loadLevel(NSScene::Scene::kSnapshotName);
}

bool GameState::saveLevel(const std::string& name) {
    if (isGameName(name)) {
        popUp(kOwnNameText);
        return false;
    }
    const bool ok = saveLevelAs(name);
    popUp(ok ? "Level saved successfully" : "Level could not be saved");
    return ok;
}

bool GameState::saveScene(const std::string& name) {
    if (isGameName(name)) {
        popUp(kOwnNameText);
        return false;
    }
    NSScene::Scene* s = scene();
    bool ok = false;
    if (s && isSafeFileName(name)) {
        const std::string source = layoutSource();
        if (source.empty()) {
            ok = s->saveScene(name);
        } else if (NSScene::ensureLevelsFolder()) {
            // The layout from before the run (or the test), byte for byte.
            std::string bytes, problem;
            NSSerialize::SerialStream out(NSScene::sceneFilePath(name), true);
            if (NSFile::readFile(source, bytes, NSSerialize::SerialStream::kMaxFileSize, &problem) !=
                NSFile::Read::Whole)
                out.fail(("the layout to save could not be read: " + problem).c_str());
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
    std::string version;
    const std::string problem = formatProblem(levelFilePath(name), true, &version);
    if (!problem.empty()) {
        log(LOG_ERROR, "Level \"%s\" refused: its %s; this game reads \"%s\" only\n", name.c_str(), problem.c_str(),
            NSSerialize::SerialStream::kCurrentVersion);
        popUp(trFormat("Level not loaded: its format version is \"%s\"", version.c_str()));
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
    if (!std::filesystem::exists(std::filesystem::symlink_status(path)) && currentLevel()) {
        path = levelFilePath(name);
        levelFile = true;
    }
    std::string version;
    const std::string problem = formatProblem(path, levelFile, &version);
    if (!problem.empty()) {
        log(LOG_ERROR, "Scene \"%s\" refused: its %s; this game reads \"%s\" only\n", name.c_str(), problem.c_str(),
            NSSerialize::SerialStream::kCurrentVersion);
        popUp(trFormat("Scene not loaded: its format version is \"%s\"", version.c_str()));
        return false;
    }
    NSSerialize::SerialStream stream(path, false);
    if (levelFile) {
        stream.readString();
        stream.skipBlock();
    }
    if (stream.failed() || !NSScene::SceneFiles::read(*s, stream)) {
        popUp("Scene could not be loaded");
        return false;
    }
    afterLoad("Scene", stream.skippedCount());
    return true;
}

void GameState::afterLoad(const std::string& what, int skipped) {
    if (NSScene::Scene* s = scene())
        s->machine().discard();
    levels_.setWinScreenShown(false);
    int dropped = 0;
    if (Level* level = currentLevel()) {
        level->resetGoals();
        dropped = level->dropGoalsWithoutObjects();
    }
    // The load is a step of its own: CTRL+Z brings back what was there.
    commitEdits();
    if (skipped > 0)
        log(LOG_ERROR, "%s: %d objects of the file could not be read and are missing\n", what.c_str(), skipped);
    if (skipped == 0 && dropped == 0) {
        popUp(what + " loaded successfully");
        return;
    }
    // One short line: the details are in the log.
    std::string details;
    if (skipped > 0)
        details = trPlural("%d object unreadable", "%d objects unreadable", unsigned(skipped), skipped);
    if (dropped > 0)
        details += (details.empty() ? "" : ", ") + trPlural("%d goal dropped", "%d goals dropped", unsigned(dropped), dropped);
    popUp(what == "Level" ? trFormat("Level loaded: %s", details.c_str()) : trFormat("Scene loaded: %s", details.c_str()));
}

} // namespace NSLevel
