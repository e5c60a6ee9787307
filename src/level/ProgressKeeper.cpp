#include "level/ProgressKeeper.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "level/Level.h"
#include "scene/Scene.h"
#include "shell/Log.h"
#include "shell/Host.h"

namespace NSLevel {

namespace {

// The kinds of object each goal pairs, in a fixed order: what makes the
// level the one it was built as, whatever ids its objects carry.
std::string goalSignature(const Level& level) {
    NSScene::Scene* s = Level::scene();
    std::vector<std::string> pairs;
    for (const LevelGoal& goal : level.getGoals()) {
        NSNode::NodeTransform* a = s ? s->findNode(static_cast<int>(goal.id1)) : nullptr;
        NSNode::NodeTransform* b = s ? s->findNode(static_cast<int>(goal.id2)) : nullptr;
        if (!a || !b || a == b)
            return "no goal";
        pairs.push_back(std::to_string(std::min(a->classId(), b->classId())) + "-" +
                        std::to_string(std::max(a->classId(), b->classId())));
    }
    std::sort(pairs.begin(), pairs.end());
    std::string signature;
    for (const std::string& pair : pairs)
        signature += pair + " ";
    return signature;
}

bool folderReadOnly() { return ::access("levels", F_OK) == 0 && ::access("levels", W_OK) != 0; }

} // namespace

ProgressKeeper::ProgressKeeper(const std::string& path) : data(path) {
    damaged = data.read() == Progress::ReadResult::Damaged;
    readOnly = folderReadOnly();
}

void ProgressKeeper::enter(Level& level, unsigned index, bool fresh) {
    active = &level;
    activeIndex = index;
    runsHere = 0;
    wasRunning = false;
    winRecorded = false;
    const std::string layout = Progress::layoutName(index);
    builtAs = goalSignature(level);
    if (fresh) {
        forgetLayout(index);
    } else if (std::filesystem::exists(std::filesystem::symlink_status(levelFilePath(layout)))) {
        // A layout that cannot be read, or one of a level of another title,
        // leaves the level as built; the texts stay the game's own,
        // whatever version saved the layout.
        const std::string name = level.getName(), info = level.getInfoText();
        if (!level.load(layout)) {
            log(LOG_ERROR, "Progress: the layout \"%s\" could not be read; the level starts as built\n",
                levelFilePath(layout).c_str());
        } else if (level.getName() != name) {
            // Kept under this number for a level of another title (the
            // levels were numbered otherwise then): it is not this level's.
            log(LOG_GAME, "Progress: the layout kept for level %u is one of \"%s\"; the level starts as built\n",
                index + 1, level.getName().c_str());
            level.unload();
            level.setName(name);
            level.setInfoText(info);
            level.build();
        } else {
            level.setInfoText(info);
            log(LOG_GAME, "Progress: the player's layout of level %u is back\n", index + 1);
        }
    }
    if (data.lastLevel() != index || fresh) {
        data.setLastLevel(index);
        data.write();
    }
}

void ProgressKeeper::leave(NSScene::Scene* scene) {
    Level* level = active;
    active = nullptr;
    runsHere = 0;
    if (!level || !scene || !scene->getRoot() || scene->getRoot()->getChildren().empty())
        return;
    // The goals are kept as reached so far in no run.
    level->resetGoals();
    if (level->save(Progress::layoutName(activeIndex)))
        return;
    log(LOG_ERROR, "Progress: the layout of level %u could not be saved: %s\n", activeIndex + 1,
        level->saveProblem().c_str());
    NSWindow::host().showTempPopUp(folderReadOnly() ? kReadOnlyMessage : kLayoutLostMessage);
}

void ProgressKeeper::forgetLayout(unsigned index) {
    const std::string path = levelFilePath(Progress::layoutName(index));
    if (std::remove(path.c_str()) == 0)
        log(LOG_GAME, "Progress: the player's layout of level %u is forgotten\n", index + 1);
}

void ProgressKeeper::watch(const NSScene::Scene* scene, bool won, double wonAt) {
    if ((damaged || readOnly) && !damageTold && NSWindow::host().hasScreen()) {
        damageTold = true;
        NSWindow::host().showTempPopUp(damaged ? kDamagedMessage : kReadOnlyMessage);
    }
    const bool running = scene && scene->isRunning();
    if (running && !wasRunning) {
        ++runsHere;
        winRecorded = false;
        latestWin = LevelProgress();
        if (active) {
            data.countRun(activeIndex);
            data.write();
        }
    }
    wasRunning = running;
    if (running && won && !winRecorded) {
        winRecorded = true;
        const double seconds = wonAt;
        latestWin.won = true;
        latestWin.winSeconds = seconds;
        latestWin.runs = latestWin.winRuns = active ? data.level(activeIndex).runs : runsHere;
        if (!active)
            return;
        // A win counts for the built-in level as it was built, not for
        // other goals brought in by a file.
        if (goalSignature(*active) != builtAs) {
            log(LOG_GAME, "Progress: level %u holds other goals than its own; the win is not recorded\n",
                activeIndex + 1);
            return;
        }
        data.recordWin(activeIndex, seconds);
        data.write();
        log(LOG_GAME, "Progress: level %u %s\n", activeIndex + 1, describeWin(data.level(activeIndex), true).c_str());
    }
}

} // namespace NSLevel
