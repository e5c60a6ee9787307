// The built-in levels: what each lets the player touch, its goals, and ways
// to win them, played through the side menu with the machine run at 30, 60
// and 120 frames per second, and the same runs ending bit for bit the same
// at any frame rate.
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
#include "menu/EditorMode.h"
#include "objects/ObjectRollband.h"
#include "scene/Scene.h"
#include "scenegraph/ControllerNode.h"
#include "level/LevelSceneTest.h"

using namespace NSLevel;
using NSMenu::MenuEntry;
using NSMenu::Value;
using NSNode::NodeGraphic;
using NSLevel::FrameTimes;
using NSLevel::MachineRun;

namespace {

const char* const kBasketball = "Basketball";
const char* const kTennisball = "Tennisball";
const char* const kSmallBoard = "Brett klein";
const char* const kMiddleBoard = "Brett mittel";
const char* const kSpringboard = "Sprungbrett";
const char* const kFan = "Ventilator";
const char* const kLongBelt = "Flie\xDF" "band lang";
const char* const kShortBelt = "Flie\xDF" "band kurz";

// One thing the player does: a line of an object's menu page, `times` times
// over (a position line moves by steps of at most 4.5), or without a label a
// CTRL+click that puts the object onto the surface at `at`. Objects are named
// as the menu names them; nth counts objects of that name in the scene.
struct Step {
    const char* object;
    int nth;
    const char* label;
    float value;
    int times;
    Vector3 at;
};

Step line(const char* object, int nth, const char* label, float value, int times = 1) {
    return {object, nth, label, value, times, Vector3()};
}

Step place(const char* object, int nth, const Vector3& at) { return {object, nth, nullptr, 0.0f, 0, at}; }

struct Solution {
    const char* level;
    std::function<Level*()> make;
    std::vector<Step> steps;
    float limit; // simulated seconds
};

// Ways to win the levels, as a player plays them through the menus.
// Level 5's springboards wait below the floor: its solution starts each of
// them with a CTRL+click onto the floor.
const std::vector<Solution>& solutions() {
    static const std::vector<Solution> table = {
        {"Level01", [] { return new Level01(); },
         {// Board 4 turned across and tilted down to the left; board 5 moved
          // in to stop the ball above the grate.
          line(kMiddleBoard, 2, "Rotation X", -0.07f), line(kMiddleBoard, 2, "Rotation Y", 0.25f),
          line(kSmallBoard, 1, "Position X", 0.3f, 6)},
         15.0f},
        {"Level02", [] { return new Level02(); },
         {// The second springboard tilted back a little, the third tilted
          // toward the board and raised into the path of the ball.
          line(kSpringboard, 2, "Rotation Z", -0.04f), line(kSpringboard, 3, "Rotation X", -0.04f),
          line(kSpringboard, 3, "Position Y", 0.3f, 6)},
         10.0f},
        {"Level03", [] { return new Level03(); },
         {// From higher up the ball bounces to the first springboard and on to
          // the third, which throws it at full power against the loose board.
          line(kTennisball, 1, "Position Y", 0.3f, 12), line(kSpringboard, 1, "Rotation X", -0.02f),
          line(kSpringboard, 1, "Rotation Z", 0.02f), line(kSpringboard, 3, "Rotation X", 0.04f),
          line(kSpringboard, 3, "Rotation Z", -0.06f), line(kSpringboard, 3, "Jump Power", 2.0f)},
         35.0f},
        {"Level04", [] { return new Level04(); },
         {// The springboard sends the ball onto the middle belt, which runs it
          // onto the back belt; that one carries it to the short belt, moved
          // next to the creature's springboard.
          line(kSpringboard, 1, "Rotation X", -0.04f), line(kSpringboard, 1, "Rotation Z", 0.05f),
          line(kBasketball, 1, "Position Y", 0.3f, 15), line(kLongBelt, 1, "Rotation Y", -0.25f),
          line(kLongBelt, 1, "Rollband Speed", 50.0f), line(kLongBelt, 1, "Position Z", -0.3f, 3),
          line(kLongBelt, 2, "Enable Rollband", 1.0f), line(kLongBelt, 2, "Rollband Speed", 30.0f),
          line(kShortBelt, 2, "Enable Rollband", 1.0f), line(kShortBelt, 2, "Rollband Speed", 40.0f),
          line(kShortBelt, 2, "Position X", -0.3f, 34), line(kShortBelt, 2, "Position Y", -0.3f, 6)},
         15.0f},
        {"Level05", [] { return new Level05(); },
         {// Each springboard is put onto the floor, then raised, turned and
          // moved. The first, under the bowling ball and tilted toward the
          // cabinet, throws it diagonally across the top through three balls;
          // the other two, set steeply beside the other two balls, kick them
          // off their corners as they first come down.
          place(kSpringboard, 1, Vector3(-90.0f, -150.0f, 0.0f)), line(kSpringboard, 1, "Position Z", -0.3f, 20),
          line(kSpringboard, 1, "Position Y", 0.3f, 10), line(kSpringboard, 1, "Rotation Y", -0.125f),
          line(kSpringboard, 1, "Rotation Z", -0.04f), line(kSpringboard, 1, "Jump Power", 2.0f),
          place(kSpringboard, 2, Vector3(66.1f, -150.0f, -16.6f)), line(kSpringboard, 2, "Position Y", 0.3f, 32),
          line(kSpringboard, 2, "Rotation Y", 0.125f), line(kSpringboard, 2, "Rotation Z", -0.1667f),
          line(kSpringboard, 2, "Jump Power", 2.0f), line(kSpringboard, 2, "Position X", -0.3f, 10),
          line(kSpringboard, 2, "Position Y", -0.3f, 8), line(kSpringboard, 2, "Position Z", -0.3f),
          place(kSpringboard, 3, Vector3(-16.6f, -150.0f, 66.1f)), line(kSpringboard, 3, "Position Y", 0.3f, 32),
          line(kSpringboard, 3, "Rotation Y", 0.125f), line(kSpringboard, 3, "Rotation Z", 0.1667f),
          line(kSpringboard, 3, "Jump Power", 2.0f), line(kSpringboard, 3, "Position Z", -0.3f, 10),
          line(kSpringboard, 3, "Position Y", -0.3f, 8), line(kSpringboard, 3, "Position X", -0.3f)},
         20.0f},
        {"Level06", [] { return new Level06(); },
         {// The fans lift the ball over the gap, the first small board stops it
          // above the third section, the second sends it back onto the belts,
          // which run slowly enough to drop it into the basket.
          line(kFan, 1, "Rotation X", -0.25f), line(kFan, 1, "Rotation Z", 0.075f),
          line(kFan, 1, "Turning Speed", 50.0f), line(kFan, 2, "Rotation X", -0.25f),
          line(kFan, 2, "Rotation Z", -0.075f), line(kFan, 2, "Turning Speed", 50.0f),
          line(kSmallBoard, 1, "Position Y", -0.3f, 8), line(kSmallBoard, 1, "Position Z", -0.3f, 1),
          line(kSmallBoard, 2, "Position X", 0.1f), line(kSmallBoard, 2, "Position Y", -0.3f, 15),
          line(kSmallBoard, 2, "Position Z", 0.3f, 13), line(kLongBelt, 1, "Rollband Speed", 28.0f),
          line(kLongBelt, 2, "Rollband Speed", 28.0f)},
         40.0f},
    };
    return table;
}

// The built-in levels in the scratch scene, played as the player would.
class BuiltInLevels : public qbntest::LevelSceneTest {
protected:
    NodeGraphic* object(const std::string& name, int nth = 1) {
        for (NSNode::NodeTransform* child : scene->getRoot()->getChildren())
            if (auto* node = dynamic_cast<NodeGraphic*>(child))
                if (node->getName() == name && --nth == 0)
                    return node;
        return nullptr;
    }

    std::vector<NodeGraphic*> selectable() {
        std::vector<NodeGraphic*> out;
        for (NSNode::NodeTransform* child : scene->getRoot()->getChildren())
            if (auto* node = dynamic_cast<NodeGraphic*>(child))
                if (node->isSelectable())
                    out.push_back(node);
        return out;
    }

    // The labels of an object's menu page in level mode.
    static std::vector<std::string> menuLines(NodeGraphic* node) {
        std::vector<MenuEntry> page;
        node->getMenuEntries(page, false);
        std::vector<std::string> labels;
        for (const MenuEntry& entry : page)
            if (entry.owner == node && !entry.label.empty())
                labels.push_back(entry.label);
        return labels;
    }

    // Does what the player does: only with a selectable object, only through
    // a line its level-mode page shows enabled and within the line's range,
    // and each step must be taken (a move into another object is refused).
    void play(const Step& step) {
        NodeGraphic* node = object(step.object, step.nth);
        ASSERT_NE(node, nullptr) << step.object << " #" << step.nth;
        ASSERT_TRUE(node->isSelectable()) << step.object;
        std::vector<MenuEntry> page;
        node->getMenuEntries(page, false);
        auto entry = std::find_if(page.begin(), page.end(), [&](const MenuEntry& e) { return e.label == step.label; });
        ASSERT_NE(entry, page.end()) << step.object << " shows no line " << step.label;
        ASSERT_TRUE(entry->enabled) << step.label;
        const bool flag = entry->type == NSMenu::TYPE_BOOL;
        const Value value = flag ? Value::ofBool(step.value != 0.0f) : Value::ofFloat(step.value);
        if (entry->constraint) {
            ASSERT_TRUE(entry->constraint->isValid(entry->type, value)) << step.label << " " << step.value;
        }
        for (int i = 0; i < step.times; ++i) {
            const Vector3 before = node->getPosition();
            node->setMenuValue(step.label, value);
            if (entry->kind == NSMenu::KIND_ACCELERATOR)
                ASSERT_NE(node->getPosition(), before) << step.object << ": " << step.label << " refused";
            else if (flag)
                ASSERT_EQ(node->getMenuValue(step.label).boolValue, step.value != 0.0f) << step.label;
            else
                ASSERT_NEAR(node->getMenuValue(step.label).floatValue, step.value, 1e-4f)
                    << step.object << ": " << step.label << " refused";
        }
    }

    // Selects the object and CTRL+clicks the pixel where `at` shows in the
    // level's view.
    void putOnSurface(NodeGraphic* node, const Vector3& at) {
        scene->select(node);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        scene->draw();
        scene->begin3D(false);
        scene->getCamera().apply();
        GLdouble modelview[16], projection[16], x, y, z;
        GLint viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        gluProject(at.x, at.y, at.z, modelview, projection, viewport, &x, &y, &z);
        scene->mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, GLUT_ACTIVE_CTRL, static_cast<int>(x), static_cast<int>(y));
        scene->mouseButton(GLUT_LEFT_BUTTON, GLUT_UP, GLUT_ACTIVE_CTRL, static_cast<int>(x), static_cast<int>(y));
        scene->select(nullptr);
        EXPECT_NEAR(node->getPosition().x, at.x, 2.0f) << node->getName() << " was not placed";
        EXPECT_NEAR(node->getPosition().z, at.z, 2.0f) << node->getName() << " was not placed";
    }

    // Runs the machine with a fixed frame time and checks the goals after
    // every step, as the level controller does; the simulated time until
    // the level was won, or -1. The machine is stopped again afterwards.
    float runUntilWon(Level& level, float dt, float limit) {
        EXPECT_TRUE(scene->setRunning(true));
        double won = -1.0;
        scene->setStepObserver([&](double at) {
            if (won < 0.0 && (level.update(), level.isWon()))
                won = at;
        });
        const int frames = static_cast<int>(std::ceil(limit / dt));
        for (int frame = 1; frame <= frames && won < 0.0; ++frame)
            scene->step(dt, 0.0f);
        scene->setStepObserver(nullptr);
        scene->setRunning(false);
        level.resetGoals();
        return static_cast<float>(won);
    }

    // Builds the level and plays the solution's steps.
    void setUp(Level& level, const std::vector<Step>& steps) {
        level.build();
        for (const Step& step : steps) {
            if (step.label)
                ASSERT_NO_FATAL_FAILURE(play(step));
            else
                putOnSurface(object(step.object, step.nth), step.at);
        }
    }
};

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
    // Its springboards wait below the floor: the menu cannot lift one
    // through it, but a CTRL+click puts it onto the floor.
    NodeGraphic* springboard = object(kSpringboard, 1);
    const Vector3 below = springboard->getPosition();
    springboard->setMenuValue("Position Y", Value::ofFloat(0.3f));
    EXPECT_EQ(springboard->getPosition(), below);
    putOnSurface(springboard, Vector3(-100.0f, -150.0f, 100.0f));
    EXPECT_GT(springboard->getPosition().y, -150.0f + 8.0f);
    EXPECT_LT(springboard->getPosition().y, -130.0f);
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

TEST_F(BuiltInLevels, LevelsAreWonByWhatAPlayerCanDoAtThreeFrameRates) {
    for (const Solution& solution : solutions()) {
        std::unique_ptr<Level> level(solution.make());
        // Left alone, the machine does not win the level.
        level->build();
        EXPECT_LT(runUntilWon(*level, 1.0f / 60.0f, solution.limit), 0.0f) << solution.level << " wins by itself";
        level->unload();
        for (int fps : {30, 60, 120}) {
            SCOPED_TRACE(std::string(solution.level) + " at " + std::to_string(fps) + " frames per second");
            ASSERT_NO_FATAL_FAILURE(setUp(*level, solution.steps));
            const float won = runUntilWon(*level, 1.0f / static_cast<float>(fps), solution.limit);
            EXPECT_GT(won, 0.0f);
            RecordProperty(std::string(solution.level) + "_" + std::to_string(fps), std::to_string(won));
            level->unload();
        }
    }
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
