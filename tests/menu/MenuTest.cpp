// The side menu as the player and the designer use it, driven by its labels.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>

#include "level/ControllerLevel.h"
#include "level/LevelCustom.h"
#include "editable/EditorMode.h"
#include "menu/Menu.h"
#include "menu/MenuItem.h"
#include "menu/MenuItemInput.h"
#include "menu/MenuItemNumber.h"
#include "menu/MenuSlider.h"
#include "objects/ObjectCatalogue.h"
#include "objects/ObjectModels.h"
#include "objects/ObjectShapes.h"
#include "persistence/ClassIds.h"
#include "persistence/SerialStream.h"
#include "physics/PhysicsCatalogue.h"
#include "physics/TurnRange.h"
#include "scene/Scene.h"
#include "window/Window.h"
#include "window/WindowTempPopUp.h"
#include "level/GameStateFixture.h"

using NSMenu::Menu;
using NSMenu::MenuItem;
using NSMenu::Value;
namespace fs = std::filesystem;

namespace {

// A room with a ball the player may move and turn, and a board.
class SmallLevel : public NSLevel::Level {
public:
    SmallLevel() : Level("Small", "A ball and a board.") {}
    void build() override {
        NSScene::Scene* s = scene();
        auto* room = new NSObjects::ObjectRoom(true);
        s->addObject(room);
        ball = new NSObjects::ObjectBasketball(true);
        ball->setPosition(Vector3(0, 30, 0));
        ball->setSelectable(true);
        ball->setEditPosition(true, false, false);
        ball->setEditRotation(false, true, false);
        s->addObject(ball);
        board = new NSObjects::ObjectBrett3(true);
        board->setSelectable(true);
        s->addObject(board);
        s->getRoot()->applyPendingChanges();
        registerWinConditonHit(unsigned(ball->getId()), unsigned(board->getId()));
    }
    NSNode::NodeGraphic* ball = nullptr;
    NSNode::NodeGraphic* board = nullptr;
};

// The game's menu over a scene of two small levels.
class MenuGl : public qbntest::GameStateTest {
protected:
    std::vector<NSLevel::Level*> makeLevels() override {
        level = new SmallLevel();
        return {level, new SmallLevel()};
    }
    void SetUp() override {
        GameStateTest::SetUp();
        scene->setLayout(NSWindow::ItemLayout(0, 0, 630, 600));
        frame();
    }

    // One pass of the window's update order: scene, menu, level controller.
    void frame(float dt = 0.0f) {
        scene->step(dt, dt);
        menu->update();
        levels->update();
        screens.applyPendingChanges();
    }
    std::vector<std::string> labels() const {
        std::vector<std::string> out;
        for (MenuItem* item : menu->items())
            out.push_back(item->getLabel());
        return out;
    }
    bool shows(const std::string& label) const {
        auto l = labels();
        return std::find(l.begin(), l.end(), label) != l.end();
    }
    // Clicks the item with this label through the menu's own routing.
    void click(const std::string& label, int dx, int dy) {
        MenuItem* item = menu->findItem(label);
        ASSERT_NE(item, nullptr) << label;
        const auto& a = item->getArea();
        menu->mouseButton(0, 0, 0, a.x + dx, a.y + dy);
        menu->mouseButton(0, 1, 0, a.x + dx, a.y + dy);
    }
    void press(const std::string& label) {
        click(label, 50, 20);
        frame();
    }
    void type(const std::string& label, const std::string& text) {
        click(label, 100, 25);
        for (char c : std::string(12, '\b') + text + '\r')
            menu->keyPressed(static_cast<unsigned char>(c), 0, false);
    }

    SmallLevel* level = nullptr;
};

TEST_F(MenuGl, PagesFollowTheSelectionAndRebuildOnlyOnChanges) {
    EXPECT_EQ(labels(), (std::vector<std::string>{"LEVEL MODE", "Custom Mode", "", "Level", "Load Level", "Reset Level",
                                                  "", "SOUND", "Sound", "Volume"}));
    EXPECT_EQ(menu->findItemValue("Level").intValue, 1);

    // The player's view of an object: picture, gap, the allowed values only.
    scene->select(level->ball);
    frame();
    auto l = labels();
    ASSERT_FALSE(l.empty());
    EXPECT_EQ(l[0], level->ball->getName());
    EXPECT_EQ(menu->items()[0]->getValue().stringValue, level->ball->getMenuPicture());
    EXPECT_TRUE(shows("Position X"));
    EXPECT_FALSE(shows("Position Y"));
    EXPECT_TRUE(shows("Rotation Y"));
    EXPECT_FALSE(shows("ELEMENT OPTIONS"));
    EXPECT_FALSE(shows("ID"));

    // Unchanged state: no rebuild, however many frames.
    const int builds = menu->getRebuildCount();
    for (int i = 0; i < 25; ++i)
        frame();
    EXPECT_EQ(menu->getRebuildCount(), builds);

    // Starting the machine greys every item; two gap lines never follow each other.
    ASSERT_TRUE(scene->setRunning(true));
    frame();
    EXPECT_EQ(menu->getRebuildCount(), builds + 1);
    for (MenuItem* item : menu->items())
        EXPECT_FALSE(item->isEnabled()) << item->getLabel();
    ASSERT_TRUE(scene->setRunning(false));
    frame();

    // Escape clears the selection; the level page comes back.
    menu->keyPressed(27, 0, false);
    frame();
    EXPECT_EQ(scene->getSelected(), nullptr);
    EXPECT_TRUE(shows("LEVEL MODE"));
}

TEST_F(MenuGl, ChangesReachTheOwnerByLabel) {
    NSNode::NodeGraphic* ball = level->ball;
    scene->select(ball);
    frame();

    // The "Rotation Y" slider dragged far past its end turns the ball half a turn, no further.
    MenuItem* rotation = menu->findItem("Rotation Y");
    ASSERT_NE(rotation, nullptr);
    const auto& r = rotation->getArea();
    menu->mouseButton(0, 0, 0, r.x + 60, r.y + 20);
    menu->mouseDrag(0, r.x + 150, r.y + 20);
    menu->mouseButton(0, 1, 0, r.x + 150, r.y + 20);
    EXPECT_NEAR(ball->getMenuValue("Rotation Y").floatValue, 0.5f, 1e-3f);
    EXPECT_NEAR(rotation->getValue().floatValue, 0.5f, 1e-3f);

    // The accelerator, held at full rate, moves the ball every frame until released.
    MenuItem* pos = menu->findItem("Position X");
    ASSERT_NE(pos, nullptr);
    const float x0 = ball->getPosition().x;
    const auto& p = pos->getArea();
    menu->mouseButton(0, 0, 0, p.x + 127, p.y + 20);
    for (int i = 0; i < 5; ++i)
        frame();
    menu->mouseButton(0, 1, 0, p.x + 127, p.y + 20);
    // The right end of the bar is a rate of 0.3 squared, 15 units a step.
    const float moved = ball->getPosition().x - x0;
    EXPECT_NEAR(moved, 5 * 0.09f * 15.0f, 1e-3f);
    frame();
    EXPECT_FLOAT_EQ(ball->getPosition().x - x0, moved);

    // The shown values follow the object every tenth frame.
    ball->setMenuValue("Rotation Y", Value::ofFloat(-0.25f));
    for (int i = 0; i < 10; ++i)
        frame();
    EXPECT_NEAR(menu->findItemValue("Rotation Y").floatValue, -0.25f, 1e-4f);

    // A command the menu does not know and the owner refuses keeps the old value.
    EXPECT_FALSE(menu->itemChanged("No Such Label", Value::ofInt(3)));
}

// A click on a line's number types it: Enter takes it, rounded to the places shown; Escape drops it; a number
// out of range, or a place another object takes, is refused with a message and changes nothing.
TEST_F(MenuGl, TypedNumbersAreTakenWithinTheirRangeOrRefusedWithIt) {
    auto* other = new NSObjects::ObjectBasketball(true);
    other->setPosition(Vector3(60, 30, 0));
    scene->addObject(other);
    scene->getRoot()->applyPendingChanges();
    scene->select(level->ball);
    frame();
    const struct {
        const char* line;
        const char* keys;
        float turn, x;
        const char* shown;
        const char* message;
    } cases[] = {
        {"Rotation Y", "-18\r", -0.05f, 0.0f, "-18\xB0", ""},
        {"Rotation Y", "45\x1b", -0.05f, 0.0f, "-18\xB0", ""},
        {"Rotation Y", "-200\r", -0.05f, 0.0f, "-18\xB0", "Rotation Y: only from -180\xB0 to 180\xB0"},
        {"Position X", "-40,27\r", -0.05f, -40.3f, "-40.3", ""},
        {"Position X", "120\r", -0.05f, -40.3f, "-40.3", "Position X: only from -100.0 to 100.0"},
        {"Position X", "60\r", -0.05f, -40.3f, "-40.3", "Position X: 60.0 does not fit here"},
        {"Position X", "\b\r", -0.05f, -40.3f, "-40.3", ""}, // emptied: nothing to take
        {"Position X", "[+]", -0.05f, -39.3f, "-39.3", ""},   // the bar's ends step one unit
        {"Position X", "[-]", -0.05f, -40.3f, "-40.3", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.line) + " " + c.keys);
        const std::string before = popUp();
        auto* item = dynamic_cast<NSMenu::MenuItemNumber*>(menu->findItem(c.line));
        ASSERT_NE(item, nullptr);
        if (c.keys[0] == '[')
            click(c.line, c.keys[1] == '+' ? 133 : 27, 27);
        else
            click(c.line, std::string(c.line) == "Position X" ? 120 : 130, std::string(c.line) == "Position X" ? 10 : 27);
        for (const char* k = c.keys; *k && c.keys[0] != '['; ++k)
            menu->keyPressed(static_cast<unsigned char>(*k), 0, false);
        EXPECT_FALSE(item->isTyping());
        EXPECT_NEAR(level->ball->getMenuValue("Rotation Y").floatValue, c.turn, 1e-6f);
        EXPECT_NEAR(level->ball->getPosition().x, c.x, 1e-4f);
        EXPECT_EQ(item->shownText(), c.shown);
        EXPECT_EQ(popUp() == before ? "" : popUp(), c.message);
    }
}

// A level's turn range narrows the player's slider: its ends are the range's, a click turns 1/88 of the range,
// a typed turn outside it is refused with the range; the editor's page keeps the full turn.
TEST_F(MenuGl, ATurnRangeNarrowsThePlayersRotationSlider) {
    NSConstraint::setPlayerTurnRange(*level->ball, 1, -0.125f, 0.125f);
    scene->select(level->ball);
    frame();
    for (int pixel : {0, 1, 44, 45, 88}) {
        click("Rotation Y", 25 + pixel, 26);
        EXPECT_NEAR(level->ball->getMenuValue("Rotation Y").floatValue, -0.125f + pixel * 0.25f / 88, 1e-5f) << pixel;
    }
    const std::string before = popUp();
    click("Rotation Y", 130, 27);
    for (char c : std::string("-50\r"))
        menu->keyPressed(static_cast<unsigned char>(c), 0, false);
    EXPECT_NEAR(level->ball->getMenuValue("Rotation Y").floatValue, 0.125f, 1e-5f);
    EXPECT_NE(popUp(), before);
    EXPECT_EQ(popUp(), "Rotation Y: only from -45\xB0 to 45\xB0");
    std::vector<NSMenu::MenuEntry> page;
    level->ball->getMenuEntries(page, true);
    for (const NSMenu::MenuEntry& e : page) {
        if (e.label == "Rotation Y") {
            EXPECT_EQ(dynamic_cast<const NSMenu::ValueConstraintRange&>(*e.constraint).floatMin, -0.5f);
        }
    }
}

TEST_F(MenuGl, TheColumnScrollsWhenItIsTallerThanTheWindow) {
    menu->setLevelMode(false);
    frame();
    frame();
    NSMenu::MenuSlider* bar = menu->getSlider();
    const int content = bar->getContentHeight();
    ASSERT_GT(content, 600) << "the custom page lists every object";

    menu->setLayout(NSWindow::ItemLayout(630, 0, 170, content));
    frame();
    EXPECT_FALSE(bar->isVisible());

    menu->setLayout(NSWindow::ItemLayout(630, 0, 170, 400));
    frame();
    ASSERT_TRUE(bar->isVisible());
    const int firstY = menu->items()[0]->getArea().y;
    // A press far below the track drags the thumb to its lowest place.
    menu->mouseButton(0, 0, 0, 160, 399);
    menu->mouseDrag(0, 160, 2000);
    menu->mouseButton(0, 1, 0, 160, 2000);
    EXPECT_EQ(bar->getThumbPos(), 400 - bar->getThumbLength() - 15);
    EXPECT_EQ(bar->getOffset(), content - 400 + 15);
    frame();
    EXPECT_EQ(menu->items()[0]->getArea().y, firstY - bar->getOffset());
    // And above it, back to the top.
    menu->mouseButton(0, 0, 0, 160, 0);
    frame();
    EXPECT_EQ(bar->getThumbPos(), 15);
    EXPECT_EQ(menu->items()[0]->getArea().y, firstY);

    // The wheel scrolls 40 pixels a notch; a rebuild keeps the place, another page starts at its top.
    for (int notch = 0; notch < 3; ++notch) {
        menu->mouseButton(NSWindow::kWheelDownButton, 0, 0, 60, 200);
        menu->mouseButton(NSWindow::kWheelDownButton, 1, 0, 60, 200);
    }
    menu->mouseButton(NSWindow::kWheelUpButton, 0, 0, 60, 200);
    frame();
    EXPECT_EQ(bar->getOffset(), 80);
    EXPECT_GT(bar->getThumbPos(), 15);
    EXPECT_EQ(menu->items()[0]->getArea().y, firstY - 80);
    menu->setTouched();
    frame();
    EXPECT_EQ(bar->getOffset(), 80);
    EXPECT_EQ(menu->items()[0]->getArea().y, firstY - 80);
    for (int notch = 0; notch < 5; ++notch)
        menu->mouseButton(NSWindow::kWheelUpButton, 0, 0, 60, 200);
    EXPECT_EQ(bar->getOffset(), 0);
    menu->mouseButton(NSWindow::kWheelDownButton, 0, 0, 60, 200);
    press("Basketball");
    EXPECT_EQ(bar->getOffset(), 0);
}

// Any button but the left one, over any control of the editor, changes nothing.
TEST_F(MenuGl, OtherButtonsOverTheEditorChangeNothing) {
    press("Custom Mode");
    frame();
    press("Basketball");
    NSNode::NodeGraphic* ball = scene->getSelected();
    ASSERT_NE(ball, nullptr);
    const int id = ball->getId();
    const int builds = menu->getRebuildCount();
    ASSERT_TRUE(shows("Delete Object") && shows("Physics...") && shows("Mass"));
    for (const std::string& label : labels()) {
        for (int button = 1; button <= 5; ++button) { // middle, right, the wheel and its tilt
            MenuItem* item = menu->findItem(label);
            ASSERT_NE(item, nullptr) << label;
            const auto& a = item->getArea();
            menu->mouseButton(button, 0, 0, a.x + 50, a.y + 20);
            menu->mouseDrag(0, a.x + 90, a.y + 20);
            menu->mouseButton(button, 1, 0, a.x + 90, a.y + 20);
            menu->keyPressed('7', 0, false);
            frame();
        }
    }
    EXPECT_EQ(scene->findNode(id), ball);
    EXPECT_EQ(scene->getSelected(), ball);
    EXPECT_FALSE(menu->isLevelMode());
    EXPECT_EQ(menu->getRebuildCount(), builds);
    EXPECT_FLOAT_EQ(ball->getMenuValue("Mass").floatValue, 1.0f);
}

TEST_F(MenuGl, TheDesignerBuildsALevelThroughTheMenu) {
    press("Custom Mode");
    frame();
    EXPECT_TRUE(NSMenu::isDesignerEditing());
    EXPECT_TRUE(shows("CUSTOM MODE"));
    ASSERT_EQ(levels->currentLevel(), levels->customLevel());
    size_t objectsBefore = scene->getRoot()->getChildren().size();
    EXPECT_EQ(objectsBefore, 2u) << "room and lamp";

    // Every object of the creation list can be made, and gets selected.
    for (const auto& entry : NSObjects::creationList()) {
        press(entry.first);
        ASSERT_NE(scene->getSelected(), nullptr) << entry.first;
        EXPECT_EQ(scene->getSelected()->classId(), entry.second) << entry.first;
        menu->keyPressed(' ', 0, false);
        frame();
    }
    EXPECT_EQ(scene->getRoot()->getChildren().size(), objectsBefore + NSObjects::creationList().size());

    // The room has no delete button; Edit Room selects it.
    press("Edit Room");
    ASSERT_NE(scene->getSelected(), nullptr);
    EXPECT_EQ(scene->getSelected()->classId(), CLASS_OBJECT_ROOM);
    EXPECT_TRUE(shows("Attach Object..."));
    EXPECT_FALSE(shows("Delete Object"));
    const size_t withRoom = scene->getRoot()->getChildren().size();
    menu->keyPressed(127, 0, false);
    frame();
    EXPECT_EQ(scene->getRoot()->getChildren().size(), withRoom) << "the Delete key took the room away";
    menu->keyPressed(27, 0, false);
    frame();

    // A ball with an attached board, a magnet effect and a wind property.
    press("Basketball");
    auto* ball = scene->getSelected();
    ASSERT_NE(ball, nullptr);
    const int ballId = ball->getId();
    ASSERT_NE(dynamic_cast<NSMenu::MenuItemInput*>(menu->findItem("ID")), nullptr);
    EXPECT_EQ(static_cast<NSMenu::MenuItemInput*>(menu->findItem("ID"))->getText(), std::to_string(ballId));
    press("Attach Object...");
    press("Brett klein");
    frame();
    ASSERT_EQ(ball->getChildren().size(), 1u);
    const std::string childLabel = "0 - Brett klein";
    EXPECT_TRUE(shows(childLabel));
    press("Back");
    EXPECT_TRUE(shows("ELEMENT OPTIONS"));

    const auto& effectTypes = NSPhysical::PhysicsCatalogue::get().getPhysicsTypes();
    const auto& propertyTypes = NSPhysical::PhysicsCatalogue::get().getPropertyTypes();
    press("Physics...");
    press(effectTypes.front().first);
    ASSERT_EQ(ball->getPhysics().size(), 1u);
    EXPECT_TRUE(shows("Delete Physics"));
    press("Back");
    EXPECT_TRUE(shows("0 - " + effectTypes.front().first));
    press("0 - " + effectTypes.front().first);
    press("Delete Physics");
    EXPECT_TRUE(ball->getPhysics().empty());
    press("Back");
    press("Properties...");
    const size_t properties = ball->getProperties().size();
    press(propertyTypes.front().first);
    ASSERT_EQ(ball->getProperties().size(), properties + 1);
    EXPECT_TRUE(shows("Delete Property"));
    press("Back");
    press("Back");
    EXPECT_TRUE(shows("ELEMENT OPTIONS"));

    // Goals: add one between the ball and the room, see it selected, go back.
    menu->keyPressed(27, 0, false);
    frame();
    press("Management...");
    press("Goals...");
    EXPECT_FALSE(shows("EDIT GOALS"));
    const int roomId = scene->getRoot()->getChildren().front()->getId();
    type("ID 1", std::to_string(ballId));
    type("ID 2", std::to_string(roomId));
    press("Add Goal");
    ASSERT_EQ(levels->currentLevel()->getGoals().size(), 1u);
    EXPECT_TRUE(shows("Delete Goal"));
    press("Back");
    EXPECT_TRUE(shows("EDIT GOALS"));
    // A goal to an object that does not exist is not added.
    type("ID 1", "99999");
    type("ID 2", std::to_string(roomId));
    press("Add Goal");
    EXPECT_EQ(levels->currentLevel()->getGoals().size(), 1u);
    EXPECT_EQ(popUp(), "Object id 99999 not found");
    press("Back");

    // A name that would leave the levels folder is refused and says so.
    type("Levelname", "../escape");
    press("Save Level");
    EXPECT_NE(popUp().find("Invalid name"), std::string::npos);
    EXPECT_FALSE(fs::exists(folder.path + "/escape.lvl"));
    type("Levelname", "mine");
    levels->currentLevel()->setName("Mine");
    press("Save Level");
    EXPECT_EQ(popUp(), "Level saved successfully");
    ASSERT_TRUE(fs::exists(folder.path + "/levels/mine.lvl"));

    // Test run: the scene is saved as "_test" and comes back after "Stop Test".
    press("Back");
    press("Start Test");
    EXPECT_TRUE(shows("TEST MODE"));
    EXPECT_FALSE(NSMenu::isDesignerEditing());
    EXPECT_TRUE(levels->isInfoShown());
    ASSERT_TRUE(fs::exists(folder.path + "/levels/_test.lvs"));
    NSNode::NodeTransform* found = scene->findNode(ballId);
    ASSERT_NE(found, nullptr);
    found->setPosition(Vector3(50, 50, 50));
    press("Stop Test");
    found = scene->findNode(ballId);
    ASSERT_NE(found, nullptr);
    EXPECT_NE(found->getPosition().x, 50.0f);
    EXPECT_TRUE(shows("CUSTOM MODE"));

    // Deleting the ball takes its goal along, with a message.
    scene->select(found);
    frame();
    menu->keyPressed(127, 0, false);
    frame();
    EXPECT_EQ(scene->findNode(ballId), nullptr);
    EXPECT_TRUE(levels->currentLevel()->getGoals().empty());
    EXPECT_NE(popUp().find("removed"), std::string::npos);
}

} // namespace

// A refused save keeps the old files, leaves no temporary file, says so; no snapshot, no start.
TEST_F(MenuGl, ARefusedSaveKeepsThePreviousFilesAndSaysSo) {
    press("Custom Mode");
    frame();
    press("Management...");
    type("Levelname", "mine");
    press("Save Level");
    ASSERT_EQ(popUp(), "Level saved successfully");
    press("Save Scene"); // the typed name is still there
    ASSERT_EQ(popUp(), "Scene saved successfully");
    levels->saveCurrent(); // F2
    ASSERT_EQ(popUp(), "Level saved successfully");
    auto bytes = [this](const std::string& name) {
        std::ifstream in(folder.path + "/levels/" + name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::vector<std::string> files = {"mine.lvl", "mine.lvs", "_current.lvl"};
    std::vector<std::string> before;
    for (const std::string& file : files)
        before.push_back(bytes(file));
    levels->currentLevel()->setName("Changed"); // a new save would differ

    // The disk fills up part way through (a file size limit stands in).
    struct rlimit limit, saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    limit = saved;
    limit.rlim_cur = 40;
    struct sigaction ignore = {}, savedAction;
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(sigaction(SIGXFSZ, &ignore, &savedAction), 0);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    const std::pair<std::function<void()>, const char*> saves[] = {
        {[&] { press("Save Level"); }, "Level could not be saved"},
        {[&] { press("Save Scene"); }, "Scene could not be saved"},
        {[&] { levels->saveCurrent(); }, "Level could not be saved"},
        {[&] { EXPECT_FALSE(scene->setRunning(true)); }, "Scene could not be saved"},
    };
    for (const auto& save : saves) {
        NSWindow::Window::instance().showTempPopUp("-");
        save.first();
        EXPECT_EQ(popUp(), save.second);
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    sigaction(SIGXFSZ, &savedAction, nullptr);
    EXPECT_FALSE(scene->isRunning());
    for (size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(bytes(files[i]), before[i]) << files[i];
    for (const auto& entry : fs::directory_iterator(folder.path + "/levels"))
        EXPECT_FALSE(NSSerialize::SerialStream::isTempName(entry.path().filename())) << entry.path();

    press("Save Level"); // and once there is room again, the save goes through
    EXPECT_EQ(popUp(), "Level saved successfully");
    EXPECT_NE(bytes("mine.lvl"), before[0]);
}
