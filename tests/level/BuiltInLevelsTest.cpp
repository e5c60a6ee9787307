// The built-in levels: what each lets the player touch, its goals, and ways
// to win them, played through the side menu and the view with the machine
// run at 15 to 144 frames per second and with jittered frames, the same runs
// ending bit for bit the same at any frame rate, and level 3's board falling.
#include <gtest/gtest.h>

#include <GL/freeglut.h>
#include <GL/glu.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "level/BuiltInLevels.h"
#include "level/ControllerLevel.h"
#include "level/Simulator.h"
#include "editable/EditorMode.h"
#include "objects/ObjectRollband.h"
#include "scene/Scene.h"
#include "scenegraph/ControllerNode.h"
#include "level/LevelSolutions.h"

using namespace NSLevel;
using NSMenu::MenuEntry;
using NSMenu::Value;
using NSNode::NodeGraphic;
using NSLevel::FrameTimes;
using NSLevel::MachineRun;

namespace {

using namespace qbntest;

class BuiltInLevels : public LevelPlayTest {};

} // namespace

TEST_F(BuiltInLevels, TitlesTextsGoalsAndWhatThePlayerMayTouch) {
    std::vector<std::unique_ptr<Level>> levels;
    for (Level* level : makeBuiltInLevels())
        levels.emplace_back(level);
    const std::vector<std::string> titles = {"Die Bombe und der Swimminpool (Teil 1)",
                                             "Die Bombe und der Swimminpool (Teil 2)",
                                             "Nachtruhe",
                                             "Schlag den Pogopuschl K.O.",
                                             "Her mit den B\xE4llen!",
                                             "RUTSCHPARTIE",
                                             ""};
    const std::vector<size_t> goalCounts = {1, 1, 1, 1, 5, 4, 0};
    ASSERT_EQ(levels.size(), titles.size());
    for (size_t i = 0; i < levels.size(); ++i) {
        Level& level = *levels[i];
        EXPECT_EQ(level.getName(), titles[i]);
        level.build();
        EXPECT_EQ(level.getGoals().size(), goalCounts[i]) << titles[i];
        for (const LevelGoal& goal : level.getGoals()) {
            EXPECT_NE(scene->findNode(static_cast<int>(goal.id1)), nullptr) << titles[i];
            EXPECT_NE(scene->findNode(static_cast<int>(goal.id2)), nullptr) << titles[i];
        }
        if (i < 5) { // the story, the goal and the tips, in this order
            const std::string& text = level.getInfoText();
            const size_t task = text.find("[AUFGABE]\n"), aim = text.find("[ZIEL]\n"), tips = text.find("[TIPPS]\n");
            EXPECT_TRUE(task != std::string::npos && task < aim && aim < tips && tips != std::string::npos)
                << titles[i];
        }
        level.unload();
        EXPECT_TRUE(scene->getRoot()->getChildren().empty());
    }
    EXPECT_EQ(levels[0]->getInfoText().rfind("Willkommen bei Quibbleton!\nDies ist das erste Level:\n\n[AUFGABE]\n", 0),
              0u);
    EXPECT_EQ(levels[5]->getInfoText(), "[ZIEL]\nSorgen sie daf\xFCr, dass der Tennisball die ganze Bahn runter rollt\n"
                                        "und in den Korb f\xE4llt.\n");
    EXPECT_EQ(levels[6]->getInfoText().rfind("GRATULATION!\nSie haben alle Level geschafft.\n", 0), 0u);

    // Level 1: the ball may only be selected, board 4 only turned, board 5
    // only moved sideways and up or down.
    levels[0]->build();
    NodeGraphic* ball = object(kBasketball);
    NodeGraphic* turnable = object(kMiddleBoard, 2);
    NodeGraphic* movable = object(kSmallBoard, 1);
    std::vector<NodeGraphic*> open = selectable();
    std::sort(open.begin(), open.end());
    std::vector<NodeGraphic*> expected = {ball, turnable, movable};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(open, expected);
    using Lines = std::vector<std::string>;
    auto transformLines = [](NodeGraphic* node) {
        Lines lines;
        for (const std::string& label : menuLines(node))
            if (label.rfind("Position", 0) == 0 || label.rfind("Rotation", 0) == 0 || label == "Scaling")
                lines.push_back(label);
        return lines;
    };
    EXPECT_EQ(transformLines(ball), Lines());
    EXPECT_EQ(transformLines(turnable), (Lines{"Rotation X", "Rotation Y", "Rotation Z"}));
    EXPECT_EQ(transformLines(movable), (Lines{"Position X", "Position Y"}));
    levels[0]->unload();

    // Level 4: every belt starts switched off or standing still.
    levels[3]->build();
    int belts = 0;
    for (NSNode::NodeTransform* child : scene->getRoot()->getChildren())
        if (auto* belt = dynamic_cast<NSObjects::ObjectRollband*>(child)) {
            ++belts;
            EXPECT_TRUE(!belt->isEnabled() || belt->getSpeed() == 0.0f) << belt->getName();
        }
    EXPECT_EQ(belts, 4);
    levels[3]->unload();

    // Level 5: the goal check stops at the first open goal, so the level is
    // won when the fifth ball touches the room, not before.
    levels[4]->build();
    NSNode::ControllerNode& hits = NSNode::ControllerNode::instance();
    NSNode::NodeTransform* room = scene->findNode(static_cast<int>(levels[4]->getGoals()[0].id1));
    for (int i = 1; i <= 5; ++i) {
        hits.clearHits();
        hits.addHit(room, object(kTennisball, i));
        levels[4]->checkGoals();
        EXPECT_EQ(levels[4]->isWon(), i == 5) << "after ball " << i;
    }
    hits.clearHits();
    // The player's springboards and board lie on the floor in view: a click
    // on each picks it from the default view.
    for (int i = 1; i <= 4; ++i) {
        NodeGraphic* springboard = object(kSpringboard, i);
        clickOn(springboard);
        EXPECT_LT(springboard->getPosition().y, -130.0f) << "springboard " << i << " is not on the floor";
    }
    clickOn(object(kSmallBoard, 5));
    levels[4]->unload();

    // The last level: everything may be moved, turned and scaled, and
    // nothing wins it.
    levels[6]->build();
    std::vector<NodeGraphic*> all = selectable();
    EXPECT_EQ(all.size(), 10u);
    for (NodeGraphic* node : all)
        EXPECT_TRUE(node->canEditPosition(-1) && node->canEditRotation(-1) && node->canEditScaling()) << node->getName();
    EXPECT_LT(runUntilWon(*levels[6], 1.0f / 60.0f, 3.0f), 0.0f);
    levels[6]->unload();
}

// Frames of 1/15 to 1/144 s, drawn reproducibly from a seed (splitmix64).
static std::function<float()> jitteredFrames(unsigned long long seed) {
    return [state = seed]() mutable {
        state += 0x9E3779B97F4A7C15ull;
        unsigned long long z = state;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        const float unit = static_cast<float>(z >> 40) / static_cast<float>(1ull << 24);
        return 1.0f / 144.0f + unit * (1.0f / 15.0f - 1.0f / 144.0f);
    };
}

TEST_F(BuiltInLevels, LevelsAreWonByWhatAPlayerCanDoAtAnyFrameRate) {
    std::vector<std::pair<std::string, std::function<float()>>> rates;
    for (int fps : {15, 20, 30, 60, 120, 144})
        rates.emplace_back(std::to_string(fps) + " fps", [fps] { return 1.0f / static_cast<float>(fps); });
    for (unsigned long long seed : {3ull, 17ull, 2026ull})
        rates.emplace_back("jittered frames, seed " + std::to_string(seed), jitteredFrames(seed));
    for (const Solution& solution : solutions()) {
        std::unique_ptr<Level> level(solution.make());
        // Left alone, the machine does not win the level.
        level->build();
        EXPECT_LT(runUntilWon(*level, 1.0f / 60.0f, solution.limit), 0.0f) << solution.level << " wins by itself";
        level->unload();
        for (const auto& rate : rates) {
            SCOPED_TRACE(std::string(solution.level) + " at " + rate.first);
            ASSERT_NO_FATAL_FAILURE(setUp(*level, solution.steps));
            EXPECT_GT(runUntilWon(*level, rate.second, solution.limit), 0.0f);
            level->unload();
        }
    }
}

// Level 3: the loose board hangs still until the ball hits it, then falls,
// and the level is won as it comes down, not when it is merely pushed.
TEST_F(BuiltInLevels, Level3BoardFallsOnceTheBallHitsIt) {
    const Solution& solution = solutions()[2];
    std::unique_ptr<Level> level(solution.make());
    ASSERT_NO_FATAL_FAILURE(setUp(*level, solution.steps));
    NodeGraphic* board = object("Brett gro\xDF", 6);
    ASSERT_NE(board, nullptr);
    const float hanging = board->getPosition().y;
    double loose = -1.0, won = -1.0;
    float atLoose = 0.0f, lowest = hanging;
    bool fallingAtWin = false;
    EXPECT_TRUE(scene->setRunning(true));
    scene->setStepObserver([&](double at) {
        level->update();
        if (loose < 0.0 && board->isMoveable()) {
            loose = at;
            atLoose = board->getPosition().y;
        }
        lowest = std::min(lowest, board->getPosition().y);
        if (loose < 0.0) {
            EXPECT_EQ(board->getPosition().y, hanging) << "the board moved before the hit, at " << at;
        }
        if (won < 0.0 && level->isWon()) {
            won = at;
            fallingAtWin = board->getVelocity().y < 0.0f;
        }
    });
    for (int frame = 0; frame < 60 * 40 && won < 0.0; ++frame)
        scene->step(1.0f / 60.0f, 0.0f);
    scene->setStepObserver(nullptr);
    scene->setRunning(false);
    ASSERT_GT(loose, 0.0) << "the ball never hit the board";
    ASSERT_GT(won, loose);
    EXPECT_LT(lowest, atLoose - 50.0f) << "the board did not fall";
    EXPECT_TRUE(fallingAtWin) << "the level was won while the board went up";
    RecordProperty("hit_at", std::to_string(loose));
    RecordProperty("won_at", std::to_string(won));
}

// The machine takes fixed steps: every solution ends bit for bit the same,
// and is won at the same step, at 20, 30, 60 and 144 frames per second and
// with frames jittered between 1/60 and 1/15 s or between 1/15 and 4/15 s
// (beyond the frame cap).
TEST_F(BuiltInLevels, RunsEndBitIdenticalAtAnyFrameRate) {
    const unsigned long seeds[] = {7, 11};
    const std::vector<std::pair<int, const unsigned long*>> rates = {
        {20, nullptr}, {30, nullptr}, {60, nullptr}, {144, nullptr}, {60, &seeds[0]}, {15, &seeds[1]}};
    for (const Solution& solution : solutions()) {
        std::unique_ptr<Level> level(solution.make());
        std::vector<MachineRun> runs;
        for (const auto& rate : rates) {
            ASSERT_NO_FATAL_FAILURE(setUp(*level, solution.steps));
            runs.push_back(runMachine(*scene, level.get(), FrameTimes(rate.first, rate.second), solution.limit));
            level->unload();
        }
        EXPECT_TRUE(runs[0].won) << solution.level;
        for (size_t k = 1; k < runs.size(); ++k) {
            SCOPED_TRACE(std::string(solution.level) + " run " + std::to_string(k));
            EXPECT_EQ(runs[k].wonAt, runs[0].wonAt);
            ASSERT_EQ(runs[k].bodies.size(), runs[0].bodies.size());
            for (size_t b = 0; b < runs[0].bodies.size(); ++b) {
                EXPECT_EQ(runs[k].bodies[b].position, runs[0].bodies[b].position) << "body " << runs[0].bodies[b].id;
                EXPECT_EQ(runs[k].bodies[b].velocity, runs[0].bodies[b].velocity) << "body " << runs[0].bodies[b].id;
            }
        }
    }
}

// The level simulator on level 1 saved with its solution: one line per frame
// rate, each won at the same step with the same bodies; and every kind of bad
// input ends with exit code 2, one line on the error stream and nothing else.
TEST_F(BuiltInLevels, TheSimulatorRunsALevelFileAndRefusesBadInput) {
    const Solution& solution = solutions()[0];
    std::unique_ptr<Level> level(solution.make());
    ASSERT_NO_FATAL_FAILURE(setUp(*level, solution.steps));
    ASSERT_TRUE(level->save("solved"));
    level->unload();
    if (const char* keep = std::getenv("QBN_KEEP_SOLVED_LEVEL"))
        std::filesystem::copy_file("levels/solved.lvl", keep, std::filesystem::copy_options::overwrite_existing);
    { std::ofstream("levels/damaged.lvl", std::ios::binary) << "[QBN-LEVEL]\x7f\x7f\x7f\x7f garbage"; }

    NSLevel::SimulatorOptions options;
    options.file = "levels/solved.lvl";
    options.fps = {20, 144};
    options.seconds = 12.0;
    std::ostringstream out, err;
    ASSERT_EQ(NSLevel::simulateLevelFile(options, out, err), 0) << err.str();
    std::istringstream lines(out.str());
    std::string first, second;
    std::getline(lines, first);
    std::getline(lines, second);
    EXPECT_EQ(first.rfind("{\"fps\": 20, \"jitter\": null, \"seconds\": 12.0, \"won\": true, \"won_at\": ", 0), 0u) << first;
    EXPECT_EQ(first.substr(first.find(",")), second.substr(second.find(","))); // all but the frame rate
    EXPECT_NE(first.find("\"bodies\": [{\"id\": "), std::string::npos);
    EXPECT_EQ(err.str(), "");

    auto with = [&](const char* file, std::vector<int> fps, double seconds) {
        NSLevel::SimulatorOptions o;
        o.file = file;
        o.fps = fps;
        o.seconds = seconds;
        return o;
    };
    for (const NSLevel::SimulatorOptions& bad :
         {with("levels/missing.lvl", {30}, 1.0), with("levels/damaged.lvl", {30}, 1.0), with("levels", {30}, 1.0),
          with("levels/solved.lvl", {0}, 1.0), with("levels/solved.lvl", {}, 1.0),
          with("levels/solved.lvl", {30}, -1.0), with("levels/solved.lvl", {30}, 1e9),
          with("levels/solved.lvl", {30}, std::nan(""))}) {
        std::ostringstream badOut, badErr;
        EXPECT_EQ(NSLevel::simulateLevelFile(bad, badOut, badErr), 2) << bad.file;
        EXPECT_EQ(badOut.str(), "");
        const std::string message = badErr.str();
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    }
}
