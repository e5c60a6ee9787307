// Long runs: every built-in level shaken for ten simulated minutes; a thousand starts and stops, each restoring.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cmath>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "level/BuiltInLevels.h"
#include "level/ControllerLevel.h"
#include "objects/ObjectShapes.h"
#include "physics/NodePhysical.h"
#include "scene/Scene.h"
#include "scenegraph/ControllerNode.h"
#include "level/LevelSceneTest.h"

using NSNode::NodeTransform;
using NSNode::NodePhysical;

namespace {

bool finite(const Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

long residentKiB() {
    long pages = 0, resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

std::string nameOf(NodeTransform* node) {
    auto* graphic = dynamic_cast<NSNode::NodeGraphic*>(node);
    return (graphic ? graphic->getName() : std::string("node")) + " " + std::to_string(node->getId());
}

using qbntest::fileBytes;
class Soak : public qbntest::LevelSceneTest {
protected:
    void SetUp() override {
        LevelSceneTest::SetUp();
        for (NSLevel::Level* level : NSLevel::makeBuiltInLevels())
            levels.emplace_back(level);
    }
    void TearDown() override {
        levels.clear();
        LevelSceneTest::TearDown();
    }

    // Every moving body of the scene, children included.
    std::vector<NodePhysical*> movingBodies() const {
        std::vector<NodePhysical*> out;
        std::vector<NodeTransform*> open(scene->getRoot()->getChildren().begin(), scene->getRoot()->getChildren().end());
        while (!open.empty()) {
            NodeTransform* node = open.back();
            open.pop_back();
            if (auto* body = dynamic_cast<NodePhysical*>(node))
                if (body->isMoveable())
                    out.push_back(body);
            open.insert(open.end(), node->getChildren().begin(), node->getChildren().end());
        }
        return out;
    }

    NSObjects::ObjectRoom* room() const {
        for (NodeTransform* child : scene->getRoot()->getChildren())
            if (auto* r = dynamic_cast<NSObjects::ObjectRoom*>(child))
                return r;
        return nullptr;
    }

    // The first broken body (not finite, or outside the room), described, or "".
    std::string brokenBody() const {
        const NSObjects::ObjectRoom* r = room();
        if (!r)
            return "the level has no room";
        const Vector3 half = Vector3(r->getLength(), r->getWidth(), r->getHeight()) * (0.5f * r->getScaleFactor());
        for (NodePhysical* body : movingBodies()) {
            const Vector3 at = body->worldPosition();
            if (!finite(at) || !finite(body->getRotation()) || !finite(body->getVelocity()) ||
                !finite(body->getAngularVelocity()))
                return nameOf(body) + " has a value that is not a number";
            const Vector3 off = at - r->getPosition();
            if (std::fabs(off.x) > half.x + 1.0f || std::fabs(off.y) > half.y + 1.0f || std::fabs(off.z) > half.z + 1.0f)
                return nameOf(body) + " left the room at (" + std::to_string(at.x) + ", " + std::to_string(at.y) +
                       ", " + std::to_string(at.z) + ")";
        }
        return "";
    }

    std::vector<std::unique_ptr<NSLevel::Level>> levels;
};

} // namespace

// Ten minutes per level at 30, 60 and 120 fps, every body thrown at up to 400 units/s: all finite, all in the
// room, memory steady after the first minute.
TEST_F(Soak, EveryLevelRunsTenMinutesSoundly) {
    unsigned seed = 12345;
    auto random = [&seed] { // -1 .. 1
        seed = seed * 1103515245u + 12345u;
        return static_cast<float>((seed >> 8) & 0xFFFF) / 32767.5f - 1.0f;
    };
    for (auto& level : levels)
        for (int fps : {30, 60, 120}) {
            SCOPED_TRACE("level \"" + level->getName() + "\" at " + std::to_string(fps) + " fps");
            level->build();
            ASSERT_TRUE(scene->setRunning(true));
            for (NodePhysical* body : movingBodies())
                body->setVelocity(Vector3(random(), random(), random()) * 400.0f);
            const float dt = 1.0f / static_cast<float>(fps);
            const int minute = 60 * fps;
            long afterFirstMinute = 0;
            std::string broken;
            for (int frame = 1; frame <= 10 * minute && broken.empty(); ++frame) {
                scene->step(dt, dt);
                level->update();
                if (frame % fps == 0)
                    broken = brokenBody();
                if (frame == minute)
                    afterFirstMinute = residentKiB();
            }
            EXPECT_EQ(broken, "");
            EXPECT_LT(residentKiB() - afterFirstMinute, 2048) << "KiB grown over nine minutes";
            scene->setRunning(false);
            level->unload();
        }
}

// A thousand runs of one to forty frames, the pointer over the scene and an object selected in between: each
// stop brings back the layout saved at the first start, and memory stays flat from the 40th to the 160th.
TEST_F(Soak, AThousandStartsAndStopsRestoreTheLayout) {
    const int cycles = 1000;
    const int perLevel = cycles / static_cast<int>(levels.size()) + 1;
    int done = 0;
    long at40 = 0;
    for (auto& level : levels) {
        SCOPED_TRACE("level \"" + level->getName() + "\"");
        level->build();
        ASSERT_TRUE(scene->saveScene("first"));
        const std::string first = fileBytes("levels/first.lvs");
        ASSERT_FALSE(first.empty());
        for (int i = 0; i < perLevel && done < cycles; ++i, ++done) {
            ASSERT_TRUE(scene->setRunning(true));
            for (int frame = 0; frame <= i % 40; ++frame)
                scene->step(1.0f / 60.0f, 0.0f);
            ASSERT_TRUE(scene->setRunning(false));
            scene->select(scene->nodeAt(scene->pick(200 + i % 20 * 20, 300)));
            ASSERT_TRUE(scene->saveScene("again"));
            ASSERT_EQ(fileBytes("levels/again.lvs"), first) << "after run " << i + 1;
            at40 = done == 40 ? residentKiB() : at40;
            EXPECT_TRUE(done != 160 || residentKiB() - at40 < 10240) << residentKiB() - at40 << " KiB grown since";
        }
        level->unload();
    }
    EXPECT_EQ(done, cycles);
}
