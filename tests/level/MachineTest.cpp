// The machine with the game's own objects: nothing passes through a board
// at any frame rate, stacks stay on boards, and piles come to rest.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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
    // Runs the machine at fps for `seconds`, calling check after every frame.
    template <class Check>
    void run(int fps, float seconds, Check check) {
        ASSERT_TRUE(scene->setRunning(true, false));
        const int frames = static_cast<int>(std::lround(seconds * fps));
        for (int frame = 0; frame < frames; ++frame) {
            scene->step(1.0f / static_cast<float>(fps), 0.0f);
            check();
        }
        scene->setRunning(false, false);
    }
    NSLevel::LevelCustom room;
};

} // namespace

// A tennis ball shot down at 80 to 400 units/s onto a small board, from heights a fraction of a step apart, at
// 5, 15 and 60 fps: its centre never gets below the board's top.
TEST_F(Machine, ATennisBallNeverPassesThroughABoard) {
    for (int fps : {5, 15, 60})
        for (float speed = 80.0f; speed <= 400.0f; speed += 40.0f)
            for (int k = 0; k < 8; ++k) {
                NodeGraphic* board = add("Brett klein", Vector3(0.0f, 0.0f, 0.0f));
                auto* ball = dynamic_cast<NSNode::NodePhysical*>(
                    add("Tennisball", Vector3(2.0f, 12.0f + 0.41f * static_cast<float>(k), 1.0f)));
                ASSERT_NE(ball, nullptr);
                ball->setVelocity(Vector3(0.0f, -speed, 0.0f));
                float lowest = 1e9f;
                run(fps, 0.6f, [&] { lowest = std::min(lowest, ball->getPosition().y); });
                EXPECT_GT(lowest, 0.0f) << speed << " units/s at " << fps << " fps, start " << k;
                scene->removeObject(board);
                scene->removeObject(ball);
                scene->getRoot()->applyPendingChanges();
            }
}

// Two boxes (given gravity) and a basketball stacked off-centre on a large board: for ten minutes at 30, 60 and
// 120 fps nothing drifts half a unit from where it rested after the first second.
TEST_F(Machine, AnOffCentreStackStaysOnABoard) {
    for (int fps : {30, 60, 120}) {
        NodeGraphic* board = add("Brett gro\xDF", Vector3(0.0f, -100.0f, 0.0f));
        std::vector<NSNode::NodePhysical*> stack;
        for (float y : {-89.95f, -69.9f}) {
            stack.push_back(dynamic_cast<NSNode::NodePhysical*>(add("Box", Vector3(20.0f, y, 5.0f))));
            stack.back()->addProperty(new NSPhysicsProperty::PhysicsPropertyGravity(true));
        }
        stack.push_back(dynamic_cast<NSNode::NodePhysical*>(add("Basketball", Vector3(20.0f, -48.3f, 5.0f))));
        std::vector<Vector3> rest;
        float drift = 0.0f;
        int frame = 0;
        run(fps, 600.0f, [&] {
            if (++frame == fps)
                for (auto* body : stack)
                    rest.push_back(body->getPosition());
            if (frame > fps)
                for (size_t i = 0; i < stack.size(); ++i)
                    drift = std::max(drift, length(stack[i]->getPosition() - rest[i]));
        });
        EXPECT_LT(drift, 0.5f) << fps << " fps";
        for (auto* body : stack)
            scene->removeObject(body);
        scene->removeObject(board);
        scene->getRoot()->applyPendingChanges();
    }
}
