#include "level/ProgressKeeper.h"

#include <cstdio>

#include "level/Level.h"
#include "scene/Scene.h"
#include "shell/Log.h"
#include "shell/Host.h"

namespace NSLevel {

ProgressKeeper::ProgressKeeper(const std::string& path) : data(path) {
    damaged = data.read() == Progress::ReadResult::Damaged;
}

void ProgressKeeper::enter(Level& level, unsigned index, bool fresh) {
    active = &level;
    activeIndex = index;
    wasRunning = false;
    winRecorded = false;
    const std::string layout = Progress::layoutName(index);
    if (fresh) {
        forgetLayout(index);
    } else if (std::FILE* f = std::fopen(levelFilePath(layout).c_str(), "rb")) {
        std::fclose(f);
        // A layout that cannot be read leaves the level as built; the texts
        // stay the game's own, whatever version saved the layout.
        const std::string name = level.getName(), info = level.getInfoText();
        if (level.load(layout)) {
            level.setName(name);
            level.setInfoText(info);
            log(LOG_GAME, "Progress: the player's layout of level %u is back\n", index + 1);
        } else
            log(LOG_ERROR, "Progress: the layout \"%s\" could not be read; the level starts as built\n",
                levelFilePath(layout).c_str());
    }
    if (data.lastLevel() != index || fresh) {
        data.setLastLevel(index);
        data.write();
    }
}

void ProgressKeeper::leave(NSScene::Scene* scene) {
    Level* level = active;
    active = nullptr;
    if (!level || !scene || !scene->getRoot() || scene->getRoot()->getChildren().empty())
        return;
    // The goals are kept as reached so far in no run.
    level->resetGoals();
    if (!level->save(Progress::layoutName(activeIndex)))
        log(LOG_ERROR, "Progress: the layout of level %u could not be saved\n", activeIndex + 1);
}

void ProgressKeeper::forgetLayout(unsigned index) {
    const std::string path = levelFilePath(Progress::layoutName(index));
    if (std::remove(path.c_str()) == 0)
        log(LOG_GAME, "Progress: the player's layout of level %u is forgotten\n", index + 1);
}

void ProgressKeeper::watch(const NSScene::Scene* scene, bool won) {
    if (damaged && !damageTold && NSWindow::host().hasScreen()) {
        damageTold = true;
        NSWindow::host().showTempPopUp(kDamagedMessage);
    }
    const bool running = scene && scene->isRunning();
    if (!active) {
        wasRunning = running;
        return;
    }
    if (running && !wasRunning) {
        data.countRun(activeIndex);
        winRecorded = false;
        data.write();
    }
    wasRunning = running;
    if (running && won && !winRecorded) {
        winRecorded = true;
        data.recordWin(activeIndex, scene->getRunTime());
        data.write();
        log(LOG_GAME, "Progress: level %u %s\n", activeIndex + 1, describeWin(data.level(activeIndex)).c_str());
    }
}

} // namespace NSLevel
