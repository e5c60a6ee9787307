#pragma once
// The built-in levels' solutions as a player plays them (menu lines, clicks into the view), and a fixture
// that builds a level, plays a solution and runs the machine.
#include <gtest/gtest.h>

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "level/BuiltInLevels.h"
#include "level/BuiltInLevels2.h"
#include "level/BuiltInLevels3.h"
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
inline const char* const kLargeBoard = "Brett gro\xDF";
inline const char* const kHotPlate = "Hei\xDF" "e Platte";
inline const char* const kSpotlight = "Scheinwerfer";
inline const char* const kCoil = "Tesla-Spule";

// A menu line of the nth object of that name, `times` over, or without a label a CTRL+click onto `at`.
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

inline const std::vector<Solution>& solutions() {
    static const std::vector<Solution> table = {
        {"Level01", [] { return new NSLevel::Level01(); },
         {// Board 4 turned across and tilted; board 5 stops the ball above the grate.
          line(kMiddleBoard, 2, "Rotation X", -0.07f), line(kMiddleBoard, 2, "Rotation Y", 0.25f),
          line(kSmallBoard, 1, "Position X", 0.3f, 6)},
         15.0f},
        {"Level02", [] { return new NSLevel::Level02(); },
         {// Springboard 2 tilted back, 3 tilted toward the bomb and raised into the ball's path.
          line(kSpringboard, 2, "Rotation Z", -10.0f / 352), line(kSpringboard, 3, "Rotation X", -4.0f / 88),
          line(kSpringboard, 3, "Rotation Z", -14.0f / 352), line(kSpringboard, 3, "Position Y", 0.3f, 6)},
         10.0f},
        {"Level03", [] { return new NSLevel::Level03(); },
         {// The raised ball bounces off springboard 2 onto 3, which throws it against the loose board.
          line(kTennisball, 1, "Position Y", 0.3f, 8), line(kSpringboard, 2, "Rotation X", -7.0f / 352),
          line(kSpringboard, 2, "Rotation Z", 7.0f / 352), line(kSpringboard, 3, "Rotation X", 13.0f / 352),
          line(kSpringboard, 3, "Rotation Z", -12.0f / 352), line(kSpringboard, 3, "Jump Power", 2.0f)},
         35.0f},
        {"Level04", [] { return new NSLevel::Level04(); },
         {// Springboard, middle belt, back belt, and the short belt moved next to the creature's springboard.
          line(kSpringboard, 1, "Rotation X", -14.0f / 352), line(kSpringboard, 1, "Rotation Z", 18.0f / 352),
          line(kBasketball, 1, "Position Y", 0.3f, 15), line(kLongBelt, 1, "Rotation Y", -0.25f),
          line(kLongBelt, 1, "Rollband Speed", 50.0f), line(kLongBelt, 1, "Position Z", -0.3f, 3),
          line(kLongBelt, 2, "Enable Rollband", 1.0f), line(kLongBelt, 2, "Rollband Speed", 30.0f),
          line(kShortBelt, 2, "Enable Rollband", 1.0f), line(kShortBelt, 2, "Rollband Speed", 40.0f),
          line(kShortBelt, 2, "Position X", -0.3f, 33), line(kShortBelt, 2, "Position Y", -0.3f, 6)},
         15.0f},
        {"Level05", [] { return new NSLevel::Level05(); },
         {// Springboards CTRL+clicked onto the floor, raised and turned: the first throws the bowling ball
          // across the top, the other two kick the corner balls off as they come down.
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
         {// Fans lift the ball over the gap, two small boards turn it back onto slow belts into the basket.
          line(kFan, 1, "Rotation X", -0.25f), line(kFan, 1, "Rotation Z", 0.075f),
          line(kFan, 1, "Turning Speed", 50.0f), line(kFan, 2, "Rotation X", -0.25f),
          line(kFan, 2, "Rotation Z", -0.075f), line(kFan, 2, "Turning Speed", 50.0f),
          line(kSmallBoard, 1, "Position Y", -0.3f, 8), line(kSmallBoard, 1, "Position Z", -0.3f, 1),
          line(kSmallBoard, 2, "Position X", 0.1f), line(kSmallBoard, 2, "Position Y", -0.3f, 15),
          line(kSmallBoard, 2, "Position Z", 0.3f, 13), line(kLongBelt, 1, "Rollband Speed", 28.0f),
          line(kLongBelt, 2, "Rollband Speed", 28.0f)},
         40.0f},
        {"Level07", [] { return new NSLevel::Level07(); },
         {// The fan turned toward the ball and the goal.
          line(kFan, 1, "Rotation Y", 0.25f), line(kFan, 1, "Turning Speed", 30.0f)},
         20.0f},
        {"Level08", [] { return new NSLevel::Level08(); },
         {// The coil's reach up to the fan, which then blows the ball off the table into the basket.
          line(kCoil, 1, "Tesla Range", 97.0f)},
         30.0f},
        {"Level09", [] { return new NSLevel::Level09(); },
         {line("Magnet", 1, "Rotation Y", -24.0f / 88)}, // the magnet swung behind the goal's back wall
         15.0f},
        {"Level10", [] { return new NSLevel::Level10(); },
         {// The hot plate under the balloon; the board under the ceiling tilted toward the basket.
          line(kHotPlate, 1, "Position X", -0.3f, 33), line(kLargeBoard, 1, "Rotation Z", 0.0f),
          line(kLargeBoard, 1, "Rotation X", 9.0f / 88)},
         20.0f},
        {"Level11", [] { return new NSLevel::Level11(); },
         {// The spotlight moved closer to the ball and turned to shine across the table at the basket.
          line(kSpotlight, 1, "Position X", 0.3f, 2), line(kSpotlight, 1, "Rotation Y", -25.0f / 88)},
         20.0f},
        {"Level12", [] { return new NSLevel::Level12(); },
         {// The spotlight rolls the ball off the table over the hot plate, which lifts it to the board; the board,
          // straightened and tilted toward the shelf, lets it down into the basket.
          line(kSpotlight, 1, "Rotation Y", -22.0f / 88), line(kHotPlate, 1, "Position X", 0.3f, 23),
          line(kHotPlate, 1, "Position Z", -0.3f, 20), line(kLargeBoard, 1, "Rotation X", 0.0f),
          line(kLargeBoard, 1, "Rotation Z", 5.0f / 88)},
         40.0f},
    };
    return table;
}

class LevelPlayTest : public LevelSceneTest {
protected:
    NodeGraphic* object(const std::string& name, int nth = 1) {
        for (NSNode::NodeTransform* child : scene->getRoot()->getChildren())
            if (auto* node = dynamic_cast<NodeGraphic*>(child))
                if (node->getName() == name && --nth == 0)
                    return node;
        return nullptr;
    }

    // Only a selectable object, a line its level-mode page shows enabled, within range; each step taken.
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

    // Selects the object with a click where it shows, through the scene's own picking.
    void clickOn(NodeGraphic* node) {
        scene->select(nullptr);
        click(pixelOf(node->worldPosition()), 0);
        EXPECT_EQ(scene->getSelected(), node) << node->getName() << " was not picked by a click";
    }

    // Selects the object with a click and CTRL+clicks where `at` shows.
    void putOnSurface(NodeGraphic* node, const Vector3& at) {
        clickOn(node);
        click(pixelOf(at), GLUT_ACTIVE_CTRL);
        scene->select(nullptr);
        EXPECT_NEAR(node->getPosition().x, at.x, 2.0f) << node->getName() << " was not placed";
        EXPECT_NEAR(node->getPosition().z, at.z, 2.0f) << node->getName() << " was not placed";
    }

    // Runs the machine with these frames, checking the goals every step; the simulated time of the win, or -1.
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
