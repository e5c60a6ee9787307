// The game's state as the player meets it: every command in every mode and
// machine state, and the transitions that used to lose work.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "level/GameStateFixture.h"
#include "persistence/ClassIds.h"

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

TEST_F(GameStateTest, DeleteActsOnlyWhileEditingAtRest) {
    struct {
        Mode mode;
        bool running;
        bool deletes;
    } rows[] = {{Mode::Level, false, false}, {Mode::Custom, false, true},     {Mode::Custom, true, false},
                {Mode::CustomTest, false, false}, {Mode::CustomTest, true, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(NSLevel::modeName(row.mode)) + (row.running ? ", running" : ", stopped"));
        start();
        enter(Mode::Custom);
        scene->addObject(new NSObjects::ObjectBasketball(true));
        frame();
        if (row.mode != Mode::Custom) {
            row.mode == Mode::Level ? menu->setLevelMode(true) : menu->setTestMode(true);
            frame();
        }
        ASSERT_TRUE(!row.running || scene->setRunning(true));
        NSNode::NodeTransform* ball = firstOfClass(CLASS_OBJECT_BASKETBALL);
        ASSERT_NE(ball, nullptr);
        scene->select(ball);
        frame();
        const size_t count = scene->getRoot()->getChildren().size();
        menu->keyPressed(127, 0, false);
        frame();
        EXPECT_EQ(scene->getRoot()->getChildren().size(), row.deletes ? count - 1 : count);
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
    for (auto& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(scene->setRunning(true));
        disturb();
        row.save(*this);
        const std::string written = qbntest::fileBytes(row.file), pre = qbntest::fileBytes(snapshot);
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

TEST_F(GameStateTest, TheEditorsLevelSurvivesLevelModeAndARestart) {
    enter(Mode::Custom);
    scene->addObject(new NSObjects::ObjectBasketball(true));
    levels->customLevel()->setName("Work");
    frame();
    menu->setLevelMode(true);
    frame();
    EXPECT_TRUE(std::filesystem::exists("levels/_autosave.lvl"));
    menu->setLevelMode(false);
    frame();
    EXPECT_NE(firstOfClass(CLASS_OBJECT_BASKETBALL), nullptr);
    EXPECT_EQ(levels->currentLevel()->getName(), "Work");

    // Through a test run and out of it: the same.
    menu->setTestMode(true);
    frame();
    disturb();
    menu->setLevelMode(true);
    frame();
    start();
    enter(Mode::Custom);
    NSNode::NodeTransform* ball = firstOfClass(CLASS_OBJECT_BASKETBALL);
    ASSERT_NE(ball, nullptr);
    EXPECT_GT(ball->getPosition().y, -100.0f);
    EXPECT_EQ(levels->currentLevel()->getName(), "Work");
    EXPECT_NE(popUp().find("last session"), std::string::npos) << popUp();

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
        {"scene part of another version", "levels/a.lvl", version(level, level.find("[QBN-SCENE]")), false,
         "scene part has version \"9.9\""},
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
