// The machine with the game's own objects: nothing passes through anything, balls roll off slopes and rest on
// level ground, pushes pass along rows, stacks stay on boards, and runs repeat.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

#include "level/LevelCustom.h"
#include "level/LevelSceneTest.h"
#include "objects/ObjectCatalogue.h"
#include "physics/NodePhysical.h"
#include "physics/properties/PhysicsPropertyOfKind.h"
#include "scene/Scene.h"

using NSNode::NodeGraphic;

namespace {

class Machine : public qbntest::LevelSceneTest {
protected:
    void SetUp() override {
        LevelSceneTest::SetUp();
        room.build(); // 300 units wide, floor at -150, gravity and friction
    }
    void TearDown() override {
        room.unload();
        LevelSceneTest::TearDown();
    }
    NodeGraphic* add(const char* name, const Vector3& at, const Vector3& rotation = Vector3()) {
        NodeGraphic* node = NSObjects::createObject(name);
        node->setPosition(at);
        node->rotate(rotation);
        scene->addObject(node);
        scene->getRoot()->applyPendingChanges();
        return node;
    }
    // Runs the machine at fps for `seconds`, calling onStep after every step and atEnd before the stop
    // restores the scene (without atEnd the scene stays as the run left it).
    void run(int fps, float seconds, const std::function<void()>& onStep, const std::function<void()>& atEnd = nullptr) {
        ASSERT_TRUE(scene->setRunning(true, atEnd != nullptr));
        scene->setStepObserver([&](double) { onStep(); });
        for (int frame = 0; frame < static_cast<int>(std::lround(seconds * fps)); ++frame)
            scene->step(1.0f / static_cast<float>(fps), 0.0f);
        scene->setStepObserver(nullptr);
        if (atEnd)
            atEnd();
        scene->setRunning(false, atEnd != nullptr);
    }
    NSNode::NodePhysical* body(const char* name, const Vector3& at) {
        return dynamic_cast<NSNode::NodePhysical*>(add(name, at));
    }
    void remove(std::initializer_list<NSNode::NodeTransform*> nodes) {
        for (NSNode::NodeTransform* node : nodes)
            scene->removeObject(node);
        scene->getRoot()->applyPendingChanges();
    }
    NSLevel::LevelCustom room;
};

} // namespace

// Nothing passes through anything up to the top speed, at 5, 60 and 144 fps, from starts a third of a step
// apart: a plate falling onto a box as thin, a tennis ball onto a board (its step longer than the board and the
// ball together), two small spheres head-on, and a sphere dropped onto the middle of a thin plate, which
// bounces straight back up.
TEST_F(Machine, NothingPassesThroughAnythingUpToTheTopSpeed) {
    struct Body {
        const char* name;
        std::vector<std::pair<const char*, float>> size;
    };
    const Body plate{"Box", {{"Length", 20}, {"Height", 0.5f}, {"Width", 20}}}, small{"Sph\xE4re", {{"Radius", 0.5f}}},
        wide{"Box", {{"Length", 40}, {"Height", 0.5f}, {"Width", 40}}}, ball{"Sph\xE4re", {{"Radius", 1}}};
    const struct { Body mover, target; float speed; bool headOn; } cases[] = {
        {plate, plate, 250, false}, {plate, plate, 2000, false}, {{"Tennisball", {}}, {"Brett klein", {}}, 2000, false},
        {small, small, 300, true},  {small, small, 2000, true},  {ball, wide, 400, false}, {ball, wide, 2000, false}};
    auto make = [&](const Body& b, float y, float vy) {
        NSNode::NodePhysical* node = body(b.name, Vector3(0, y, 0));
        for (const auto& size : b.size)
            static_cast<NodeGraphic*>(node)->setMenuValue(size.first, NSMenu::Value::ofFloat(size.second));
        node->setVelocity(Vector3(0, vy, 0));
        return node;
    };
    for (const auto& c : cases)
        for (int fps : {5, 60, 144})
            for (int start = 0; start < 3; ++start) {
                SCOPED_TRACE(std::string(c.mover.name) + " onto " + c.target.name + " at " + std::to_string(c.speed) +
                             ", " + std::to_string(fps) + " fps, start " + std::to_string(start));
                auto* target = make(c.target, 0.0f, c.headOn ? c.speed : 0.0f);
                target->setMoveable(c.headOn);
                auto* mover = make(c.mover, 15.0f + c.speed / 360.0f * static_cast<float>(start), -c.speed);
                Vector3 bounce;
                run(fps, 0.25f, [&] {
                    EXPECT_GT(mover->getPosition().y, target->getPosition().y);
                    bounce = (bounce == Vector3() && mover->getVelocity().y > 0.0f) ? mover->getVelocity() : bounce;
                });
                EXPECT_TRUE(bounce.y > 0.0f && std::hypot(bounce.x, bounce.z) < 0.01f * c.speed);
                remove({mover, target});
            }
}

// A ball set on a large board tilted 0.5, 1 or 2 degrees rolls off as it would if it never came to rest
// (basketball, tennis ball, bowling ball); on a level board it rests within a second, as a box on the floor.
TEST_F(Machine, BallsRollOffGentleSlopesAndRestOnLevelGround) {
    for (const char* name : {"Basketball", "Tennisball", "Bowlingball", "Box"})
        for (float degrees : {0.0f, 0.5f, 1.0f, 2.0f}) {
            const bool box = std::string(name) == "Box";
            if (box && degrees > 0.0f)
                continue;
            SCOPED_TRACE(std::string(name) + " at " + std::to_string(degrees) + " degrees");
            const float tilt = degrees * 3.14159265f / 180.0f;
            NodeGraphic* board = add("Brett gro\xDF", Vector3(0, -100, 0), Vector3(0, 0, tilt));
            NSNode::NodePhysical* ball = body(name, Vector3());
            if (box)
                ball->addProperty(new NSPhysicsProperty::PhysicsPropertyGravity(true));
            const float r = (box ? 10.0f : ball->getBoundingVolume()->getOuterSphere().getRadius()) + 0.05f;
            const Vector3 start(-std::sin(tilt) * r, (box ? -150.0f : -100.0f) + std::cos(tilt) * r, 0);
            ball->setPosition(start);
            float gravity = 0.0f;
            for (auto* property : ball->getProperties())
                gravity += property->kind() == 0 ? property->getEffectivity() : 0.0f;
            int step = 0, restedAt = -1;
            run(60, 3.0f, [&] { restedAt = (restedAt < 0 && ball->isAsleep()) ? step : restedAt, ++step; });
            const float rolled = length(ball->getPosition() - start);
            if (degrees == 0.0f)
                EXPECT_TRUE(restedAt >= 0 && restedAt <= 120 && rolled < 0.5f) << restedAt << " " << rolled;
            else
                EXPECT_GT(rolled, 0.8f * 0.5f * 98.1f * gravity * std::sin(tilt) * 9.0f);
            remove({board, ball});
        }
}

// A ball rolling at 20 units/s on a board into a row of two resting balls: the push passes along the row, and
// each ball leaves at 15 units/s or more.
TEST_F(Machine, APushPassesAlongARestingRow) {
    add("Brett gro\xDF", Vector3(0, -100, 0));
    std::vector<NSNode::NodePhysical*> row;
    for (float x : {-20.0f, 0.0f, 6.7f})
        row.push_back(body("Tennisball", Vector3(x, -96.65f, 0)));
    float fastest[3] = {};
    int step = 0;
    run(60, 2.5f, [&] {
        if (++step == 120) {
            EXPECT_TRUE(row[1]->isAsleep() && row[2]->isAsleep());
            row[0]->setVelocity(Vector3(20, 0, 0));
        }
        for (size_t i = 0; i < row.size() && step > 120; ++i)
            fastest[i] = std::max(fastest[i], row[i]->getVelocity().x);
    });
    EXPECT_TRUE(fastest[1] >= 15.0f && fastest[2] >= 15.0f) << fastest[1] << " " << fastest[2];
}

// Two boxes (given gravity) and a basketball stacked off-centre on a large board: for ten minutes at 30, 60 and
// 120 fps nothing drifts half a unit from where it rested after the first second.
TEST_F(Machine, AnOffCentreStackStaysOnABoard) {
    for (int fps : {30, 60, 120}) {
        NodeGraphic* board = add("Brett gro\xDF", Vector3(0.0f, -100.0f, 0.0f));
        std::vector<NSNode::NodePhysical*> stack;
        for (float y : {-89.95f, -69.9f}) {
            stack.push_back(body("Box", Vector3(20.0f, y, 5.0f)));
            stack.back()->addProperty(new NSPhysicsProperty::PhysicsPropertyGravity(true));
        }
        stack.push_back(body("Basketball", Vector3(20.0f, -48.3f, 5.0f)));
        std::vector<Vector3> rest;
        float drift = 0.0f;
        int step = 0;
        run(fps, 600.0f, [&] {
            if (++step == 120)
                for (auto* body : stack)
                    rest.push_back(body->getPosition());
            for (size_t i = 0; i < stack.size() && step > 120; ++i)
                drift = std::max(drift, length(stack[i]->getPosition() - rest[i]));
        });
        EXPECT_LT(drift, 0.5f) << fps << " fps";
        remove({board, stack[0], stack[1], stack[2]});
    }
}

// A ball attached to a board in a heap of balls: the first run meets its contacts in the order a loaded
// scene does, so it ends as the second run (from the scene restored after the first) does.
TEST_F(Machine, TheFirstRunAfterAnAttachEqualsTheNext) {
    NodeGraphic* board = add("Brett gro\xDF", Vector3(0.0f, -100.0f, 0.0f));
    for (int i = 0; i < 12; ++i)
        add("Tennisball", Vector3(6.0f * static_cast<float>(i % 4) - 9.0f, -90.0f + 7.0f * static_cast<float>(i / 4),
                                  static_cast<float>(i % 3)));
    NodeGraphic* child = NSObjects::createObject("Tennisball");
    child->setPosition(Vector3(-6.0f, 14.0f, 1.0f));
    board->addChildLater(child);
    scene->getRoot()->applyPendingChanges();
    std::vector<Vector3> runs[2];
    for (std::vector<Vector3>& ends : runs) {
        run(60, 4.0f, [] {}, [&] {
            for (NSNode::NodeTransform* node : scene->getRoot()->getChildren())
                for (NSNode::NodeTransform* n : {node, node->getChildren().empty() ? node : node->getChildren()[0]})
                    ends.push_back(n->getPosition());
        });
    }
    EXPECT_TRUE(runs[0] == runs[1]);
}

// Two balls made in one place (two presses of a CREATE OBJECT line) fall apart and land, alike at 5, 60 and
// 144 fps.
TEST_F(Machine, TwoBallsMadeInOnePlaceFallApartAndLand) {
    std::vector<Vector3> ends;
    for (int fps : {5, 60, 144}) {
        NodeGraphic* balls[2] = {add("Tennisball", Vector3()), add("Tennisball", Vector3())};
        run(fps, 6.0f, [] {});
        for (NodeGraphic* ball : balls)
            ends.push_back(ball->getPosition());
        const size_t n = ends.size();
        EXPECT_TRUE(ends[n - 1].y < -140.0f && ends[n - 2].y < -140.0f && length(ends[n - 1] - ends[n - 2]) >= 6.5f &&
                    ends[n - 1] == ends[1] && ends[n - 2] == ends[0])
            << fps << " fps";
        remove({balls[0], balls[1]});
    }
}
