#pragma once
// The built-in levels' solutions as a player plays them (menu lines, clicks
// into the view), and a fixture that builds a level into the scratch scene,
// plays a solution and runs the machine. Shared by the level tests and the
// solvability sweep.
#include <gtest/gtest.h>

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "level/BuiltInLevels.h"
#include "level/LevelSceneTest.h"
#include "scene/Scene.h"

namespace qbntest {

using NSLevel::Level;
using NSMenu::MenuEntry;
using NSMenu::Value;
using NSNode::NodeGraphic;

inline const char* const kBasketball = "Basketball";
inline const char* const kTennisball = "Tennisball";
inline const char* const kSmallBoard = "Brett klein";
inline const char* const kMiddleBoard = "Brett mittel";
inline const char* const kSpringboard = "Sprungbrett";
inline const char* const kFan = "Ventilator";
inline const char* const kLongBelt = "Flie\xDF" "band lang";
inline const char* const kShortBelt = "Flie\xDF" "band kurz";

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

inline Step line(const char* object, int nth, const char* label, float value, int times = 1) {
    return {object, nth, label, value, times, Vector3()};
}

inline Step place(const char* object, int nth, const Vector3& at) { return {object, nth, nullptr, 0.0f, 0, at}; }

struct Solution {
    const char* level;
    std::function<Level*()> make;
    std::vector<Step> steps;
    float limit; // simulated seconds
};

// Ways to win the levels, as a player plays them through the menus.
// Level 5's springboards lie on the floor by the left wall: its solution
// picks each with a click in the view and CTRL+clicks it onto the floor
// where it is wanted.
inline const std::vector<Solution>& solutions() {
    static const std::vector<Solution> table = {
        {"Level01", [] { return new NSLevel::Level01(); },
         {// Board 4 turned across and tilted down to the left; board 5 moved
          // in to stop the ball above the grate.
          line(kMiddleBoard, 2, "Rotation X", -0.07f), line(kMiddleBoard, 2, "Rotation Y", 0.25f),
          line(kSmallBoard, 1, "Position X", 0.3f, 6)},
         15.0f},
        {"Level02", [] { return new NSLevel::Level02(); },
         {// The second springboard tilted back a little, the third tilted
          // toward the bomb and raised into the path of the ball.
          line(kSpringboard, 2, "Rotation Z", -10.0f / 352), line(kSpringboard, 3, "Rotation X", -4.0f / 88),
          line(kSpringboard, 3, "Rotation Z", -14.0f / 352), line(kSpringboard, 3, "Position Y", 0.3f, 6)},
         10.0f},
        {"Level03", [] { return new NSLevel::Level03(); },
         {// From higher up the ball bounces off the middle springboard to
          // the top one, which throws it at full power against the loose board.
          line(kTennisball, 1, "Position Y", 0.3f, 8), line(kSpringboard, 2, "Rotation X", -7.0f / 352),
          line(kSpringboard, 2, "Rotation Z", 7.0f / 352), line(kSpringboard, 3, "Rotation X", 13.0f / 352),
          line(kSpringboard, 3, "Rotation Z", -12.0f / 352), line(kSpringboard, 3, "Jump Power", 2.0f)},
         35.0f},
        {"Level04", [] { return new NSLevel::Level04(); },
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
        {"Level05", [] { return new NSLevel::Level05(); },
         {// Each springboard is put onto the floor, then raised, turned and
          // moved. The first, under the bowling ball and tilted toward the
          // cabinet, throws it diagonally across the top through three balls;
          // the other two, set steeply beside the other two balls, kick them
          // off their corners as they first come down.
          place(kSpringboard, 1, Vector3(-90.0f, -150.0f, 0.0f)), line(kSpringboard, 1, "Position Z", -0.3f, 20),
          line(kSpringboard, 1, "Position Y", 0.3f, 10), line(kSpringboard, 1, "Rotation Y", -0.125f),
          line(kSpringboard, 1, "Rotation Z", -12.0f / 352), line(kSpringboard, 1, "Jump Power", 2.0f),
          place(kSpringboard, 2, Vector3(66.1f, -150.0f, -16.6f)), line(kSpringboard, 2, "Position Y", 0.3f, 32),
          line(kSpringboard, 2, "Rotation Y", 0.125f), line(kSpringboard, 2, "Rotation Z", -0.1667f),
          line(kSpringboard, 2, "Jump Power", 2.0f), line(kSpringboard, 2, "Position X", -0.3f, 10),
          line(kSpringboard, 2, "Position Y", -0.3f, 8), line(kSpringboard, 2, "Position Z", -0.3f),
          place(kSpringboard, 3, Vector3(-16.6f, -150.0f, 66.1f)), line(kSpringboard, 3, "Position Y", 0.3f, 32),
          line(kSpringboard, 3, "Rotation Y", 0.125f), line(kSpringboard, 3, "Rotation Z", 0.1667f),
          line(kSpringboard, 3, "Jump Power", 2.0f), line(kSpringboard, 3, "Position Z", -0.3f, 10),
          line(kSpringboard, 3, "Position Y", -0.3f, 8), line(kSpringboard, 3, "Position X", -0.3f)},
         20.0f},
        {"Level06", [] { return new NSLevel::Level06(); },
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
class LevelPlayTest : public LevelSceneTest {
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

    // Where `at` shows in the level's view, in the scene's pixels.
    std::pair<int, int> pixelOf(const Vector3& at) {
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
        return {static_cast<int>(x), static_cast<int>(y)};
    }

    void click(const std::pair<int, int>& pixel, int modifiers) {
        scene->mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, modifiers, pixel.first, pixel.second);
        scene->mouseButton(GLUT_LEFT_BUTTON, GLUT_UP, modifiers, pixel.first, pixel.second);
    }

    // Selects the object with a click where it shows in the level's view,
    // through the scene's own picking.
    void clickOn(NodeGraphic* node) {
        scene->select(nullptr);
        click(pixelOf(node->worldPosition()), 0);
        EXPECT_EQ(scene->getSelected(), node) << node->getName() << " was not picked by a click";
    }

    // Selects the object with a click and CTRL+clicks the pixel where `at`
    // shows in the level's view.
    void putOnSurface(NodeGraphic* node, const Vector3& at) {
        clickOn(node);
        click(pixelOf(at), GLUT_ACTIVE_CTRL);
        scene->select(nullptr);
        EXPECT_NEAR(node->getPosition().x, at.x, 2.0f) << node->getName() << " was not placed";
        EXPECT_NEAR(node->getPosition().z, at.z, 2.0f) << node->getName() << " was not placed";
    }

    // Runs the machine with frames of the given lengths and checks the goals
    // after every step, as the level controller does; the simulated time
    // until the level was won, or -1. The machine is stopped again afterwards.
    float runUntilWon(Level& level, const std::function<float()>& frame, float limit) {
        EXPECT_TRUE(scene->setRunning(true));
        double won = -1.0;
        scene->setStepObserver([&](double at) {
            if (won < 0.0 && (level.update(), level.isWon()))
                won = at;
        });
        for (double t = 0.0; t < limit && won < 0.0;) {
            const float dt = frame();
            scene->step(dt, 0.0f);
            t += dt;
        }
        scene->setStepObserver(nullptr);
        scene->setRunning(false);
        level.resetGoals();
        return static_cast<float>(won);
    }

    float runUntilWon(Level& level, float dt, float limit) {
        return runUntilWon(level, [dt] { return dt; }, limit);
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

} // namespace qbntest
