#include "level/ControllerLevel.h"

#include "level/LevelCustom.h"
#include "level/LevelScreens.h"
#include "scene/Scene.h"
#include "shell/Log.h"
#include "shell/Window.h"

namespace NSLevel {

namespace {

const NSWindow::ItemLayout kFullWindow(0, 0, 0, 0, 1, 1, 2, 2);

} // namespace

ControllerLevel& ControllerLevel::instance() {
    static ControllerLevel controller(makeBuiltInLevels(), new LevelCustom(), &NSWindow::Window::instance());
    return controller;
}

ControllerLevel::ControllerLevel(std::vector<Level*> builtIn, Level* customLevel,
                                 NSWindow::WindowItem* screenParent)
    : custom(customLevel) {
    for (Level* level : builtIn)
        levels.emplace_back(level);
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
    }
    // A scene name that cannot be read as a scene file is tried as the
    // current level's level file.
    NSScene::Scene::setLevelFileLookup([this](const std::string& name) {
        return current ? levelFilePath(name) : std::string();
    });
}

ControllerLevel::~ControllerLevel() { NSScene::Scene::setLevelFileLookup(nullptr); }

void ControllerLevel::update() {
    if (loadRequested) {
        // The machine stops with the level it ran in; the next one opens
        // at rest, with a snapshot of its own at its first start.
        if (NSScene::Scene* running = Level::scene(); running && running->isRunning())
            running->setRunning(false);
        if (current) {
            current->unload();
            current = nullptr;
        }
        if (customRequested && custom) {
            customRequested = false;
            current = custom.get();
            current->build();
            setWinScreenShown(false);
            setInfoShown(false);
            inputScreen->setNameMode(true);
            inputScreen->setVisible(false);
            inputScreen->setFocus(false);
            state_.customBuilt();
        } else if (index < levels.size()) {
            customRequested = false;
            current = levels[index].get();
            current->build();
            setWinScreenShown(false);
            setInfoShown(true);
            showInput(false, true);
        }
    }
    NSScene::Scene* scene = Level::scene();
    if (current && scene && scene->isRunning()) {
        if (!current->isWon()) {
            current->update();
            loadRequested = false;
            return;
        }
        setWinScreenShown(true);
    }
    loadRequested = false;
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

int ControllerLevel::lastIndex() const { return static_cast<int>(levels.size()) - 1; }

} // namespace NSLevel
