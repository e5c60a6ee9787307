#include "level/ControllerLevel.h"

#include "audio/AudioSystem.h"
#include "level/LevelCustom.h"
#include "level/LevelScreens.h"
#include "level/ProgressKeeper.h"
#include "scene/Scene.h"
#include "shell/Log.h"
#include "shell/Host.h"

namespace NSLevel {

namespace {

const NSWindow::ItemLayout kFullWindow(0, 0, 0, 0, 1, 1, 2, 2);

} // namespace

ControllerLevel& ControllerLevel::instance() {
    static ControllerLevel controller(makeBuiltInLevels(), new LevelCustom(), nullptr,
                                      new ProgressKeeper("progress.txt"));
    return controller;
}

ControllerLevel::ControllerLevel(std::vector<Level*> builtIn, Level* customLevel,
                                 NSWindow::WindowItem* screenParent, ProgressKeeper* progressKeeper)
    : custom(customLevel), keeper(progressKeeper) {
    for (Level* level : builtIn)
        levels.emplace_back(level);
    if (keeper && keeper->progress().lastLevel() < levels.size())
        index = keeper->progress().lastLevel();
    winScreen = new LevelScreenWin(*this);
    info = new LevelInfo(*this);
    inputScreen = new LevelScreenInput(*this);
    for (NSWindow::WindowItem* screen :
         {static_cast<NSWindow::WindowItem*>(winScreen), static_cast<NSWindow::WindowItem*>(info),
          static_cast<NSWindow::WindowItem*>(inputScreen)}) {
        screen->setLayout(kFullWindow);
        screen->setVisible(false);
        if (screenParent)
            screenParent->addChildLater(screen);
        else
            NSWindow::host().addOverlay(screen);
    }
    // A scene name that cannot be read as a scene file is tried as the
    // current level's level file.
    NSScene::SceneFiles::setLevelFileLookup([this](const std::string& name) {
        return current ? levelFilePath(name) : std::string();
    });
}

ControllerLevel::~ControllerLevel() { NSScene::SceneFiles::setLevelFileLookup(nullptr); }

void ControllerLevel::update() {
    NSAudio::AudioSystem::instance().update(Level::scene(), current ? current->goalsReached() : 0,
                                            current && current->isWon());
    if (loadRequested)
        loadRequestedLevel();
    resetRequested = false;
    NSScene::Scene* scene = Level::scene();
    observeSteps(scene);
    updateWin(scene);
    loadRequested = false;
    // The name or text typed into the input screen is one step, taken
    // when the screen closes.
    if (commitRequested && !inputScreen->isVisible()) {
        commitRequested = false;
        state_.commitEdits();
    }
    if (keeper)
        keeper->watch(scene, current && current->isWon(), wonAt);
}

void ControllerLevel::loadRequestedLevel() {
    // The machine stops with the level it ran in; the next one opens
    // at rest, with a snapshot of its own at its first start.
    if (NSScene::Scene* running = Level::scene(); running && running->isRunning())
        running->setRunning(false);
    if (keeper && (current || resetRequested))
        keeper->leave(resetRequested ? nullptr : Level::scene());
    if (current) {
        current->unload();
        current = nullptr;
    }
    if (customRequested && custom)
        buildCustomLevel();
    if (!current && index < levels.size()) {
        customRequested = false;
        current = levels[index].get();
        current->build();
        if (keeper)
            keeper->enter(*current, index, resetRequested);
        setWinScreenShown(false);
        setInfoShown(true);
        showInput(false, true);
    }
    // A new level, or another mode: the steps before lead elsewhere
    // (but "New Level" is a step of the editor's).
    state_.levelBuilt();
}

void ControllerLevel::buildCustomLevel() {
    customRequested = false;
    current = custom.get();
    current->build();
    setWinScreenShown(false);
    setInfoShown(false);
    inputScreen->setNameMode(true);
    inputScreen->setVisible(false);
    inputScreen->setFocus(false);
    state_.customBuilt();
    if (state_.mode() == Mode::Level) { // the file to open at start could not be read
        current->unload();
        current = nullptr;
    }
}

void ControllerLevel::observeSteps(NSScene::Scene* scene) {
    if (!scene || scene == observedScene)
        return;
    // The goals are checked after every step of the machine.
    scene->setStepObserver([this](double at) {
        if (current && !current->isWon() && (current->update(), current->isWon()))
            wonAt = at;
    });
    observedScene = scene;
}

void ControllerLevel::updateWin(NSScene::Scene* scene) {
    if (current && scene && scene->isRunning()) {
        // Won between steps (an overlap goal of a frame without steps): at
        // the time of the last step.
        if (!current->isWon()) {
            if (current->update(), current->isWon())
                wonAt = scene->machine().clock().simulatedSeconds();
        } else {
            setWinScreenShown(true);
        }
    } else if (current && (current->isWon() || current->goalsReached() > 0 || isWinScreenShown())) {
        // However the run ended (BACK, Stop, a load), its win screen goes
        // and the next run starts with no goal reached, so it can win again.
        setWinScreenShown(false);
        current->resetGoals();
    }
}

void ControllerLevel::toggleInfo() { setInfoShown(!infoShown); }

void ControllerLevel::setInfoShown(bool shown) {
    infoShown = shown;
    info->setVisible(shown);
}

void ControllerLevel::setWinScreenShown(bool shown) {
    if (shown && !winScreen->isVisible() && current)
        log(LOG_GAME, "Level \"%s\" won\n", current->getName().c_str());
    winScreen->setVisible(shown);
}

bool ControllerLevel::isWinScreenShown() const { return winScreen->isVisible(); }

void ControllerLevel::showInput(bool visible, bool nameMode) {
    inputScreen->setVisible(visible);
    inputScreen->setNameMode(nameMode);
    inputScreen->setFocus(visible);
}

void ControllerLevel::backToCurrentLevel() {
    setWinScreenShown(false);
    setInfoShown(false);
    if (NSScene::Scene* scene = Level::scene())
        scene->setRunning(false);
    if (current)
        current->resetGoals();
}

void ControllerLevel::selectLevel(unsigned newIndex) {
    if (newIndex < levels.size()) {
        index = newIndex;
        loadRequested = true;
    }
}

void ControllerLevel::selectCustom() {
    customRequested = true;
    loadRequested = true;
}

void ControllerLevel::resetLevel() {
    if (current && current != custom.get()) {
        resetRequested = true;
        loadRequested = true;
    }
}

const Progress* ControllerLevel::progress() const { return keeper ? &keeper->progress() : nullptr; }
const LevelProgress* ControllerLevel::lastWin() const { return keeper ? &keeper->lastWin() : nullptr; }

void ControllerLevel::quit() {
    // The editor's level first, while a run's snapshot still tells its layout.
    state_.shutdown();
    NSScene::Scene* scene = Level::scene();
    if (!keeper || !current || !scene)
        return;
    // The layout from before the run, not where the run left the objects.
    if (scene->isRunning())
        scene->setRunning(false);
    keeper->leave(scene);
}

int ControllerLevel::lastIndex() const { return static_cast<int>(levels.size()) - 1; }

} // namespace NSLevel
