#pragma once
// A game of three small levels (or the game's own), its level controller and
// side menu over a scratch scene, driven one frame at a time.
#include <memory>

#include "level/ControllerLevel.h"
#include "level/GameState.h"
#include "level/LevelCustom.h"
#include "level/ProgressKeeper.h"
#include "level/LevelSceneTest.h"
#include "editable/EditorMode.h"
#include "menu/Menu.h"
#include "menu/MenuItem.h"
#include "objects/ObjectModels.h"
#include "objects/ObjectShapes.h"
#include "window/Window.h"
#include "window/WindowTempPopUp.h"

namespace qbntest {

// A room, a ball and a board that must touch.
class BallLevel : public NSLevel::Level {
public:
    explicit BallLevel(const char* title) : Level(title, "") {}
    void build() override {
        NSScene::Scene* s = scene();
        s->addObject(new NSObjects::ObjectRoom(true));
        auto* ball = new NSObjects::ObjectBasketball(true);
        ball->setPosition(Vector3(0, 30, 0));
        ball->setSelectable(true);
        s->addObject(ball);
        auto* board = new NSObjects::ObjectBrett3(true);
        s->addObject(board);
        s->getRoot()->applyPendingChanges();
        registerWinConditonHit(unsigned(ball->getId()), unsigned(board->getId()));
    }
};

class GameStateTest : public qbntest::LevelSceneTest {
public:
    void SetUp() override {
        LevelSceneTest::SetUp();
        start();
    }
    void TearDown() override {
        menu.reset();
        levels.reset();
        LevelSceneTest::TearDown();
    }
    // The levels of a fresh game unless the built-in ones are asked for.
    virtual std::vector<NSLevel::Level*> makeLevels() {
        return {new BallLevel("One"), new BallLevel("Two"), new BallLevel("Three")};
    }
    // A fresh game (also a "restart": the files in levels/ stay), with the test's levels or the game's own,
    // keeping the player's progress and layouts if asked.
    void start(bool builtIn = false, bool keep = false) {
        menu.reset();
        levels.reset();
        levels = std::make_unique<NSLevel::ControllerLevel>(builtIn ? NSLevel::makeBuiltInLevels() : makeLevels(),
                                                            new NSLevel::LevelCustom(), &screens,
                                                            keep ? new NSLevel::ProgressKeeper("progress.txt") : nullptr);
        menu = std::make_unique<NSMenu::Menu>(scene.get(), levels.get());
        menu->setLayout(NSWindow::ItemLayout(630, 0, 170, 600));
        frame();
    }
    void frame(float dt = 0.0f) {
        scene->step(dt, dt);
        menu->update();
        levels->update();
        screens.applyPendingChanges();
        menu->update();
    }
    NSLevel::GameState& state() { return levels->state(); }
    // A menu label pressed (with a value) as a finished command: the next frame takes its undo step.
    void command(const char* label, NSMenu::Value value = NSMenu::Value()) {
        menu->itemChanged(label, value);
        levels->commandEnded();
        frame();
    }
    std::string popUp() const {
        auto* p = NSWindow::WindowTempPopUp::current();
        return p ? p->getText() : "";
    }
    NSNode::NodeTransform* firstOfClass(int id) const {
        for (NSNode::NodeTransform* child : scene->getRoot()->getChildren())
            if (child->classId() == id)
                return child;
        return nullptr;
    }
    void enter(NSLevel::Mode mode) {
        if (mode != NSLevel::Mode::Level)
            menu->setLevelMode(false);
        frame();
        if (mode == NSLevel::Mode::CustomTest)
            menu->setTestMode(true);
        frame();
    }
    // Moves every object as a run would.
    void disturb() {
        for (NSNode::NodeTransform* child : scene->getRoot()->getChildren())
            child->setPosition(child->getPosition() + Vector3(0, -248, 0));
    }
    std::string menuHeader() const {
        auto items = menu->items();
        return items.empty() ? "" : items[0]->getLabel();
    }

    NSWindow::WindowItem screens{false};
    std::unique_ptr<NSLevel::ControllerLevel> levels;
    std::unique_ptr<NSMenu::Menu> menu;
};

} // namespace qbntest
