// The game's state as the player meets it: every command in every mode and
// machine state, and the transitions that used to lose work.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <set>

#include "level/GameStateFixture.h"
#include "level/LevelScreens.h"
#include "persistence/ClassIds.h"
#include "physics/NodePhysical.h"

using NSLevel::Machine;
using NSLevel::Mode;

namespace {

using qbntest::GameStateTest;

// --- the state table, row by row ------------------------------------------------

struct Row {
    Mode from;
    const char* command;
    Mode to;
    int level;         // the built-in level's index after, or -1 for the custom level
    bool stops;        // a running machine is stopped afterwards
    const char* popUp; // part of the message shown, or null
};

constexpr int kCustom = -1;

} // namespace

class GameStateTable : public GameStateTest {
public:
    void run(const char* command) {
        NSWindow::LevelControl& keys = *levels;
        const std::string c = command;
        if (c == "F2") keys.saveCurrent();
        else if (c == "F3") keys.loadCurrent();
        else if (c == "F5") keys.previousLevel();
        else if (c == "F6") keys.nextLevel();
        else if (c == "slider 3") state().selectLevel(2);
        else if (c == "Custom Mode") menu->setLevelMode(false);
        else if (c == "Level Mode") menu->setLevelMode(true);
        else if (c == "Start Test") menu->setTestMode(true);
        else if (c == "Stop Test") menu->setTestMode(false);
        else if (c == "New Level") state().newCustomLevel();
        else if (c == "Reset Level") levels->resetLevel();
        else ADD_FAILURE() << command;
    }
};

TEST_F(GameStateTable, EveryCommandInEveryModeAndMachineState) {
    const Row rows[] = {
        {Mode::Level, "F2", Mode::Level, 1, false, "Level saved successfully"},
        {Mode::Level, "F3", Mode::Level, 1, true, "Level loaded successfully"},
        {Mode::Level, "F5", Mode::Level, 0, true, nullptr},
        {Mode::Level, "F6", Mode::Level, 2, true, nullptr},
        {Mode::Level, "slider 3", Mode::Level, 2, true, nullptr},
        {Mode::Level, "Custom Mode", Mode::Custom, kCustom, true, nullptr},
        {Mode::Level, "Level Mode", Mode::Level, 1, false, nullptr},
        {Mode::Level, "Start Test", Mode::Level, 1, false, nullptr},
        {Mode::Level, "Stop Test", Mode::Level, 1, false, nullptr},
        {Mode::Level, "New Level", Mode::Level, 1, false, nullptr},
        {Mode::Level, "Reset Level", Mode::Level, 1, true, nullptr},
        {Mode::Custom, "F2", Mode::Custom, kCustom, false, "Level saved successfully"},
        {Mode::Custom, "F3", Mode::Custom, kCustom, true, "Level loaded successfully"},
        {Mode::Custom, "F5", Mode::Custom, kCustom, false, "\"Level Mode\" returns"},
        {Mode::Custom, "F6", Mode::Custom, kCustom, false, "\"Level Mode\" returns"},
        {Mode::Custom, "slider 3", Mode::Custom, kCustom, false, "\"Level Mode\" returns"},
        {Mode::Custom, "Custom Mode", Mode::Custom, kCustom, false, nullptr},
        {Mode::Custom, "Level Mode", Mode::Level, 0, true, nullptr},
        {Mode::Custom, "Start Test", Mode::CustomTest, kCustom, true, nullptr},
        {Mode::Custom, "Stop Test", Mode::Custom, kCustom, false, nullptr},
        {Mode::Custom, "New Level", Mode::Custom, kCustom, false, nullptr},
        {Mode::Custom, "Reset Level", Mode::Custom, kCustom, false, nullptr},
        {Mode::CustomTest, "F2", Mode::CustomTest, kCustom, false, "Level saved successfully"},
        {Mode::CustomTest, "F3", Mode::CustomTest, kCustom, false, "\"Stop Test\" first"},
        {Mode::CustomTest, "F5", Mode::CustomTest, kCustom, false, "\"Stop Test\", then"},
        {Mode::CustomTest, "F6", Mode::CustomTest, kCustom, false, "\"Stop Test\", then"},
        {Mode::CustomTest, "slider 3", Mode::CustomTest, kCustom, false, "\"Stop Test\", then"},
        {Mode::CustomTest, "Custom Mode", Mode::CustomTest, kCustom, false, nullptr},
        {Mode::CustomTest, "Level Mode", Mode::Level, 0, true, nullptr},
        {Mode::CustomTest, "Start Test", Mode::CustomTest, kCustom, false, nullptr},
        {Mode::CustomTest, "Stop Test", Mode::Custom, kCustom, true, nullptr},
        {Mode::CustomTest, "New Level", Mode::CustomTest, kCustom, false, nullptr},
        {Mode::CustomTest, "Reset Level", Mode::CustomTest, kCustom, false, nullptr},
    };
    const char* headers[] = {"LEVEL MODE", "CUSTOM MODE", "TEST MODE"};
    for (const Row& row : rows) {
        for (bool running : {false, true}) {
            SCOPED_TRACE(std::string(NSLevel::modeName(row.from)) + (running ? ", running, " : ", stopped, ") +
                         row.command);
            start();
            if (row.from == Mode::Level)
                levels->selectLevel(1);
            enter(row.from);
            ASSERT_EQ(state().mode(), row.from);
            levels->saveCurrent();
            disturb(), state().commitEdits(); // an undo step, gone wherever a level is built anew
            ASSERT_TRUE(!running || scene->setRunning(true));
            NSWindow::Window::instance().showTempPopUp("-");

            run(row.command);
            frame();

            EXPECT_EQ(state().mode(), row.to);
            EXPECT_EQ(levels->currentLevel() == levels->customLevel(), row.level == kCustom);
            if (row.level != kCustom) {
                EXPECT_EQ(int(levels->currentIndex()), row.level);
            }
            EXPECT_EQ(state().machine() != Machine::Stopped, running && !row.stops);
            const bool built = row.to != row.from ||
                               (row.from == Mode::Level && (row.level != 1 || std::string(row.command) == "Reset Level"));
            EXPECT_EQ(state().history().undoCount() == 0, built);
            if (row.popUp) {
                EXPECT_NE(popUp().find(row.popUp), std::string::npos) << popUp();
            }
            // The menu shows the mode the state holds.
            scene->select(nullptr);
            frame();
            EXPECT_EQ(menuHeader(), headers[int(state().mode())]);
            EXPECT_EQ(NSMenu::isCustomMode(), state().mode() != Mode::Level);
            EXPECT_EQ(NSMenu::isDesignerEditing(), state().mode() == Mode::Custom);
            if (scene->isRunning())
                scene->setRunning(false);
        }
    }
}

// A run's trace marks where the goal pair touched; stopping is no edit and keeps it, an edit clears it.
TEST_F(GameStateTest, TheTraceOfARunStaysUntilAnEdit) {
    auto* ball = dynamic_cast<NSNode::NodeGraphic*>(firstOfClass(CLASS_OBJECT_BASKETBALL));
    ASSERT_TRUE(ball);
    ball->setVelocity(Vector3(0, -100, 0));
    state().commitEdits();
    ASSERT_TRUE(scene->setRunning(true));
    for (int i = 0; i < 30; ++i)
        frame(0.02f);
    ASSERT_TRUE(scene->setRunning(false));
    state().commitEdits();
    ASSERT_EQ(std::make_pair(scene->machine().trace().getPaths().size(), scene->machine().trace().getMarks().size()), std::make_pair(1ul, 1ul));
    EXPECT_LT(length(scene->machine().trace().getMarks()[0] - Vector3(0, 11.5f, 0)), 1.0f) << "where the ball met the board";
    firstOfClass(CLASS_OBJECT_BASKETBALL)->setPosition(Vector3(5, 30, 0));
    state().commitEdits();
    EXPECT_TRUE(scene->machine().trace().isEmpty());
}

TEST_F(GameStateTest, DeleteAndNewLevelActOnlyWhileEditingAtRest) {
    const struct { Mode mode; bool running, paused, deletes; } rows[] = {
        {Mode::Level, false, false, false},      {Mode::Custom, false, false, true},
        {Mode::Custom, true, false, false},      {Mode::Custom, true, true, false},
        {Mode::CustomTest, false, false, false}, {Mode::CustomTest, true, false, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(NSLevel::modeName(row.mode)) + (row.paused ? " paused" : row.running ? " runs" : ""));
        start();
        enter(Mode::Custom);
        scene->addObject(new NSObjects::ObjectBasketball(true));
        frame();
        if (row.mode != Mode::Custom) {
            row.mode == Mode::Level ? menu->setLevelMode(true) : menu->setTestMode(true);
            frame();
        }
        ASSERT_TRUE(!row.running || scene->setRunning(true));
        scene->setPaused(row.paused);
        NSNode::NodeTransform* ball = firstOfClass(CLASS_OBJECT_BASKETBALL);
        ASSERT_NE(ball, nullptr);
        scene->select(ball);
        frame();
        const size_t count = scene->getRoot()->getChildren().size();
        menu->keyPressed(127, 0, false);
        frame();
        EXPECT_EQ(scene->getRoot()->getChildren().size(), row.deletes ? count - 1 : count);
        state().newCustomLevel(), frame(); // an empty room only at rest in the editor
        EXPECT_EQ(scene->getRoot()->getChildren().size() == count, !row.deletes);
        if (scene->isRunning())
            scene->setRunning(false);
    }
}

// --- the faults that lost work ----------------------------------------------------

TEST_F(GameStateTest, SavesDuringARunWriteTheLayoutFromBeforeIt) {
    const std::string snapshot = "levels/_current.lvs";
    struct {
        const char* what;
        std::function<void(GameStateTest&)> save;
        std::string file;
        bool level;
    } rows[] = {
        {"F2", [](GameStateTest& t) { t.levels->saveCurrent(); }, "levels/_current.lvl", true},
        {"Save Level", [](GameStateTest& t) { t.state().saveLevel("mine"); }, "levels/mine.lvl", true},
        {"Save Scene", [](GameStateTest& t) { t.state().saveScene("mine"); }, "levels/mine.lvs", false},
    };
    for (auto& row : rows)
        for (bool paused : {false, true}) {
            SCOPED_TRACE(std::string(row.what) + (paused ? ", paused" : ", running"));
            ASSERT_TRUE(scene->setRunning(true));
            scene->setPaused(paused);
            disturb();
            row.save(*this);
            std::string written = qbntest::fileBytes(row.file);
            written = written.substr(0, written.find("[QBN-OWNER]")); // a quick save's owner follows the scene
            const std::string pre = qbntest::fileBytes(snapshot);
            ASSERT_GE(written.size(), pre.size());
            // The scene part is the snapshot, byte for byte.
            EXPECT_EQ(written.substr(written.size() - pre.size()), pre);
            EXPECT_TRUE(scene->setRunning(false));
            if (row.level) {
                // Loading it gives the layout from before the run.
                ASSERT_TRUE(state().loadLevel(row.file.substr(7)));
                NSNode::NodeTransform* ball = firstOfClass(CLASS_OBJECT_BASKETBALL);
                ASSERT_NE(ball, nullptr);
                EXPECT_FLOAT_EQ(ball->getPosition().y, 30.0f);
            }
        }
}

TEST_F(GameStateTest, ALoadDuringARunEndsItAndTheLoadedLevelTakesOver) {
    levels->saveCurrent();
    ASSERT_TRUE(state().saveLevel("other"));
    // "other" becomes a level of its own name with one goal.
    levels->currentLevel()->setName("Other");
    ASSERT_TRUE(state().saveLevel("other"));
    levels->currentLevel()->setName("One");
    ASSERT_TRUE(scene->setRunning(true));
    disturb();
    ASSERT_TRUE(state().loadLevel("other"));
    EXPECT_FALSE(scene->isRunning());
    EXPECT_EQ(levels->currentLevel()->getName(), "Other");
    EXPECT_EQ(levels->currentLevel()->getGoals().size(), 1u);
    NSNode::NodeTransform* ball = firstOfClass(CLASS_OBJECT_BASKETBALL);
    ASSERT_NE(ball, nullptr);
    EXPECT_FLOAT_EQ(ball->getPosition().y, 30.0f);
    // F3 the same way.
    ASSERT_TRUE(scene->setRunning(true));
    disturb();
    levels->loadCurrent();
    EXPECT_FALSE(scene->isRunning());
    EXPECT_EQ(levels->currentLevel()->getName(), "One");
}

TEST_F(GameStateTest, TheEditorsLevelSurvivesLevelModeTheGamesEndAndAKill) {
    enter(Mode::Custom);
    command("Basketball");
    levels->customLevel()->setName("Work");
    menu->setLevelMode(true);
    frame();
    EXPECT_TRUE(std::filesystem::exists("levels/_autosave.lvl"));
    menu->setLevelMode(false);
    frame();
    EXPECT_NE(firstOfClass(CLASS_OBJECT_BASKETBALL), nullptr);
    EXPECT_EQ(levels->currentLevel()->getName(), "Work");

    // The game ends during a test run: the editor's layout is kept.
    menu->setTestMode(true);
    frame();
    disturb();
    levels->quit();
    start();
    enter(Mode::Custom);
    NSNode::NodeTransform* ball = firstOfClass(CLASS_OBJECT_BASKETBALL);
    ASSERT_NE(ball, nullptr);
    EXPECT_GT(ball->getPosition().y, -100.0f);
    EXPECT_EQ(levels->currentLevel()->getName(), "Work");
    EXPECT_NE(popUp().find("last session"), std::string::npos) << popUp();

    // A finished edit, then the game is killed: the edit is back.
    ball->setPosition(Vector3(0, 40, 0));
    levels->commandEnded();
    frame();
    start();
    enter(Mode::Custom);
    EXPECT_FLOAT_EQ(firstOfClass(CLASS_OBJECT_BASKETBALL)->getPosition().y, 40.0f);
    // An edit not yet a step when the game ends in the editor: the end keeps it.
    firstOfClass(CLASS_OBJECT_BASKETBALL)->setPosition(Vector3(0, 50, 0));
    levels->quit(), start(), enter(Mode::Custom);
    EXPECT_FLOAT_EQ(firstOfClass(CLASS_OBJECT_BASKETBALL)->getPosition().y, 50.0f);

    // "New Level" starts afresh.
    state().newCustomLevel();
    frame();
    EXPECT_EQ(firstOfClass(CLASS_OBJECT_BASKETBALL), nullptr);
    EXPECT_EQ(levels->currentLevel()->getName(), "[levelName]");
}

TEST_F(GameStateTest, LoadsSayWhatTheyCouldNotTake) {
    ASSERT_TRUE(state().saveLevel("good"));
    ASSERT_TRUE(state().saveScene("good"));
    const std::string level = qbntest::fileBytes("levels/good.lvl"), sceneBytes = qbntest::fileBytes("levels/good.lvs");
    // The ball's record with a class id no version of the game has.
    auto unknownBall = [](std::string bytes) {
        const std::string id("\xd2\x00\x00\x00", 4); // CLASS_OBJECT_BASKETBALL
        const size_t tag = bytes.find(std::string("[nodO]\0", 7), bytes.find("[QBN-SCENE]") + 20);
        const size_t at = bytes.find(id, tag);
        bytes.replace(at, 4, std::string("\x0f\x27\x00\x00", 4));
        return bytes;
    };
    auto version = [](std::string bytes, size_t from) {
        bytes.replace(bytes.find("1.0", from), 3, "9.9");
        return bytes;
    };
    struct {
        const char* what;
        std::string file, bytes;
        bool loads;
        const char* popUp;
    } rows[] = {
        {"object skipped", "levels/a.lvl", unknownBall(level), true, "1 object unreadable"},
        {"level part of another version", "levels/a.lvl", version(level, 0), false, "\"9.9\""},
        {"scene part of another version", "levels/a.lvl", version(level, level.find("[QBN-SCENE]")), false, "\"9.9\""},
        {"scene of another version", "levels/a.lvs", version(sceneBytes, 0), false, "\"9.9\""},
    };
    for (auto& row : rows) {
        SCOPED_TRACE(row.what);
        std::filesystem::remove("levels/a.lvl");
        std::filesystem::remove("levels/a.lvs");
        qbntest::writeBytes(row.file, row.bytes);
        levels->currentLevel()->setName("Before");
        const bool isScene = row.file.back() == 's';
        const bool loaded = isScene ? state().loadScene("a") : state().loadLevel("a");
        EXPECT_EQ(loaded, row.loads);
        EXPECT_NE(popUp().find(row.popUp), std::string::npos) << popUp();
        if (std::string(row.what) == "object skipped") {
            EXPECT_NE(popUp().find("1 goal dropped"), std::string::npos) << popUp();
        }
        if (!loaded) {
            EXPECT_EQ(levels->currentLevel()->getName(), "Before");
        }
        for (const NSLevel::LevelGoal& goal : levels->currentLevel()->getGoals()) {
            EXPECT_NE(scene->findNode(int(goal.id1)), nullptr);
            EXPECT_NE(scene->findNode(int(goal.id2)), nullptr);
        }
    }
}

TEST_F(GameStateTest, CustomModeFromALevelKeepsItsLayoutAsF5AndF6Do) {
    start(false, true);
    firstOfClass(CLASS_OBJECT_BRETT3)->setRotation(Vector3(0, 0, 1.36f));
    ASSERT_TRUE(scene->setRunning(true)); // what the run does is not kept
    disturb();
    menu->setLevelMode(false);
    frame();
    menu->setLevelMode(true);
    frame();
    EXPECT_NEAR(firstOfClass(CLASS_OBJECT_BRETT3)->getRotation().z, 1.36f, 1e-5f);
    EXPECT_FLOAT_EQ(firstOfClass(CLASS_OBJECT_BASKETBALL)->getPosition().y, 30.0f);
}

TEST_F(GameStateTest, TheEditorIsNotLeftWhileItsLevelCannotBeKept) {
    enter(Mode::Custom);
    command("Basketball");
    // A number the files cannot hold is refused, with the range; the next edit is one undo step.
    command("Position X ", NSMenu::Value::ofFloat(1e15f));
    EXPECT_NE(popUp().find("(allowed -100000 to 100000)"), std::string::npos) << popUp();
    command("Mass", NSMenu::Value::ofFloat(42));
    ASSERT_TRUE(state().undo());
    const auto* ball = dynamic_cast<NSNode::NodePhysical*>(firstOfClass(CLASS_OBJECT_BASKETBALL));
    ASSERT_NE(ball, nullptr);
    EXPECT_FLOAT_EQ(ball->getPosition().x, 0.0f);
    EXPECT_NE(ball->getMass(), 42.0f);
    // The autosave cannot be written (a folder in its place): the editor stays and says why; asked again, it goes.
    std::filesystem::remove("levels/_autosave.lvl");
    std::filesystem::create_directory("levels/_autosave.lvl");
    menu->setLevelMode(true);
    frame();
    EXPECT_EQ(state().mode(), Mode::Custom);
    EXPECT_NE(popUp().find("Level not kept (is a folder)"), std::string::npos) << popUp();
    EXPECT_NE(firstOfClass(CLASS_OBJECT_BASKETBALL), nullptr);
    menu->setLevelMode(true);
    frame();
    EXPECT_EQ(state().mode(), Mode::Level);
}

TEST_F(GameStateTest, AnUnreadableKeptLevelIsSetAsideUnderANewNameEachTime) {
    for (const char* aside : {"levels/_autosave.lvl.bad", "levels/_autosave.lvl.bad-2"}) {
        qbntest::writeBytes("levels/_autosave.lvl", aside);
        start();
        enter(Mode::Custom);
        EXPECT_NE(popUp().find(aside), std::string::npos) << popUp();
        EXPECT_EQ(qbntest::fileBytes("levels/_autosave.lvl.bad"), "levels/_autosave.lvl.bad"); // never over it
    }
}

TEST_F(GameStateTest, NewLevelAndLoadsInTheEditorAreUndone) {
    const std::function<void(GameStateTest&)> edits[] = {
        [](GameStateTest& t) { t.state().newCustomLevel(); },
        [](GameStateTest& t) { t.state().loadLevel("empty"); },
        [](GameStateTest& t) { t.levels->loadCurrent(); },
    };
    for (const auto& edit : edits) {
        std::filesystem::remove("levels/_autosave.lvl");
        start();
        enter(Mode::Custom);
        levels->saveCurrent(), state().saveLevel("empty");
        command("Basketball");
        edit(*this);
        frame();
        EXPECT_EQ(firstOfClass(CLASS_OBJECT_BASKETBALL), nullptr);
        ASSERT_TRUE(state().undo());
        EXPECT_NE(firstOfClass(CLASS_OBJECT_BASKETBALL), nullptr);
    }
}

TEST_F(GameStateTest, F3InALevelTakesOnlyItsOwnQuickSaveAndTheGamesNamesAreRefused) {
    const std::pair<std::function<void(GameStateTest&)>, const char*> rows[] = {
        {[](GameStateTest& t) { t.levels->selectLevel(1), t.frame(), t.levels->saveCurrent(); }, "of level 2"},
        {[](GameStateTest& t) { t.enter(Mode::Custom), t.levels->saveCurrent(), t.menu->setLevelMode(true); },
         "the editor's level"},
    };
    for (auto& [save, told] : rows) {
        start();
        save(*this);
        levels->selectLevel(0);
        frame();
        levels->currentLevel()->setName("Mine");
        levels->loadCurrent();
        EXPECT_NE(popUp().find(told), std::string::npos) << popUp();
        EXPECT_EQ(levels->currentLevel()->getName(), "Mine");
    }
    EXPECT_FALSE(state().saveLevel("_current") || state().saveScene("_test"));
    EXPECT_EQ(popUp(), NSLevel::GameState::kOwnNameText);
}

TEST_F(GameStateTest, ALevelNameTypedIsOneUndoStep) {
    enter(Mode::Custom);
    const size_t steps = state().history().undoCount();
    levels->showInput(true, true);
    for (int key : {int('a'), int('b'), 0}) {
        key ? (void)levels->getInputScreen()->keyPressed(key, 0, false) : levels->showInput(false, true); // SAVE
        levels->commandEnded();
        frame();
    }
    EXPECT_EQ(state().history().undoCount(), steps + 1);
}

TEST_F(GameStateTest, IdsAFileHoldsOutOfRangeOrTwiceAreRenumberedAndItsGoalsFollow) {
    ASSERT_TRUE(state().saveLevel("ids"));
    const std::string good = qbntest::fileBytes("levels/ids.lvl");
    const int ball = firstOfClass(CLASS_OBJECT_BASKETBALL)->getId(), board = firstOfClass(CLASS_OBJECT_BRETT3)->getId();
    auto le = [](int v) { return std::string(reinterpret_cast<const char*>(&v), 4); };
    for (int bad : {2147483647, board}) { // out of range; the board's id too
        std::string bytes = good; // the ball's id, in its goal and in the scene
        bytes.replace(bytes.find(le(ball), bytes.find("[wchO]") + 11), 4, le(bad));
        bytes.replace(bytes.find(le(CLASS_OBJECT_BASKETBALL) + le(ball), bytes.find("[QBN-SCENE]")) + 4, 4, le(bad));
        qbntest::writeBytes("levels/ids.lvl", bytes);
        ASSERT_TRUE(state().loadLevel("ids"));
        scene->addObject(new NSObjects::ObjectTennisball(true));
        scene->getRoot()->applyPendingChanges();
        std::set<int> ids; // the objects are the scene's own children
        for (NSNode::NodeTransform* node : scene->getRoot()->getChildren())
            EXPECT_TRUE(node->getId() >= 1 && node->getId() < 100000000 && ids.insert(node->getId()).second);
        // The goal follows the ball's new id; one naming an id held twice cannot tell which and goes.
        const auto& goals = levels->currentLevel()->getGoals();
        ASSERT_EQ(goals.size(), bad == board ? 0u : 1u);
        for (const NSLevel::LevelGoal& goal : goals)
            EXPECT_EQ(scene->findNode(int(goal.id1)), firstOfClass(CLASS_OBJECT_BASKETBALL));
    }
}
