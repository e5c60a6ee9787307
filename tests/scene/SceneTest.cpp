// The 3D view: selection, picking, placement, the machine and its snapshot, the camera, the scene file.
#include <gtest/gtest.h>

#include <GL/freeglut.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <numeric>
#include <string>
#include <vector>

#include "editable/EditorMode.h"
#include "physics/StepClock.h"
#include "objects/ObjectShapes.h"
#include "scene/CameraRoom.h"
#include "scene/Scene.h"
#include "objects/NodeGraphic.h"
#include "persistence/FileScratch.h"
#include "support/GlContext.h"
#include "scene/SceneFixture.h"

using NSNode::BoundingVolume;
using NSNode::NodeGraphic;
using NSNode::NodeTransform;
using NSScene::Camera;
using NSScene::Scene;
using qbntest::Bytes;
using qbntest::SceneGl;

namespace fs = std::filesystem;

namespace {

// Adds up the time steps the machine gives it.
struct ClockNode : NodeTransform {
    float total = 0.0f;
    int steps = 0;
    ClockNode() : NodeTransform(true) {}
    void simulate(float dt) override {
        total += dt;
        ++steps;
    }
};

TEST_F(SceneGl, PickingFindsTheNearestObjectAndClicksThereCycleBehindIt) {
    // On the same lines of sight: drawn far first on the left, near first on the right.
    NodeGraphic* far = ball(Vector3(-56, 0, -60));
    NodeGraphic* near = ball(Vector3(-40, 0, 0));
    NodeGraphic* nearRight = ball(Vector3(40, 0, 0));
    ball(Vector3(56, 0, -60));
    frame();
    int x, y;
    viewPoint(Vector3(40, 0, 0), x, y);
    EXPECT_EQ(scene.nodeAt(scene.pick(x, y)), nearRight);
    viewPoint(Vector3(-40, 0, 0), x, y);
    EXPECT_EQ(scene.nodeAt(scene.pick(x, y)), near);
    EXPECT_EQ(scene.pick(5, 5), nullptr);

    // The pointer lights the object under it, until it leaves the object or the view (over the menu).
    scene.mouseMove(0, x, y);
    EXPECT_TRUE(scene.getHovered() == near && near->isHighlighted() && !far->isHighlighted());
    scene.mouseMove(0, 5, 5);
    EXPECT_FALSE(scene.getHovered() || near->isHighlighted());
    scene.mouseMove(0, x, y);
    scene.pointerLeft();
    EXPECT_FALSE(scene.getHovered() || near->isHighlighted());

    // Clicks at one place (on a handle too) select the objects there from near to far, then none; the pointer
    // lights what a click would select (the nearest where it would let go); a click on empty space keeps the
    // selection; Escape and space clear it.
    for (const auto& [expected, lit] : std::vector<std::pair<NodeGraphic*, NodeGraphic*>>{{near, far}, {far, near}, {nullptr, near}, {near, far}}) {
        clickAt(x, y);
        scene.mouseMove(0, x, y);
        EXPECT_TRUE(scene.getSelected() == expected && scene.getHovered() == lit);
        EXPECT_EQ(near->isSelected() + far->isSelected(), expected ? 1 : 0);
    }
    clickAt(5, 5);
    EXPECT_EQ(scene.getSelected(), near);
    for (int key : {27, 32}) { // Escape, space
        EXPECT_TRUE(scene.keyPressed(key, 0, false));
        EXPECT_FALSE(scene.getSelected() || near->isSelected());
        clickAt(x, y);
    }
    // Objects that are not selectable cannot be picked in level mode.
    for (NodeGraphic* b : {near, far})
        b->setSelectable(false);
    scene.select(nullptr);
    clickAt(x, y);
    EXPECT_EQ(scene.getSelected(), nullptr);
    // A part hung under a selectable object, not selectable itself (a magnet on a post's arm), picks as that object.
    NodeGraphic* post = ball(Vector3(0, 60, 0));
    auto* part = new NodeGraphic(true);
    part->setModel(NodeGraphic::MODEL_MD2, "basketball.md2", "");
    part->setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(), 11.5f));
    part->setPosition(Vector3(0, -60, 0));
    post->addChildLater(part);
    scene.getRoot()->applyPendingChanges();
    frame();
    viewPoint(Vector3(0, 0, 0), x, y);
    clickAt(x, y);
    EXPECT_EQ(scene.getSelected(), post);
}

// The selection's depth cue: a yellow line from its lowest point down to the surface it would land on.
TEST_F(SceneGl, TheSelectionShowsALineDownToWhereItWouldLand) {
    NodeGraphic* b = blob(Vector3(0, 40, 0), BoundingVolume::makeSphereVolume(Vector3(), 5));
    NodeGraphic* under = blob(Vector3(), BoundingVolume::makeBoxVolume(Vector3(0, -1.5f, 0), Vector3(60, 3, 60)));
    scene.select(b);
    for (float surface : {-30.0f, -10.0f}) { // above the view's buttons
        under->setPosition(Vector3(0, surface, 0));
        scene.step(0.0f, 0.0f);
        frame();
        int x, top, bottom;
        viewPoint(Vector3(0, 35, 0), x, top);
        viewPoint(Vector3(0, surface, 0), x, bottom);
        const std::vector<unsigned char> column = qbntest::readPixels(x, 0, 1, 600);
        int low = 600, high = -1;
        for (int y = 0; y < 600; ++y)
            if (column[3 * y] > 200 && column[3 * y + 1] > 200 && column[3 * y + 2] < 150)
                low = std::min(low, y), high = std::max(high, y);
        EXPECT_NEAR(low, bottom, 2) << surface;
        EXPECT_NEAR(high, top, 2) << surface;
    }
}

TEST_F(SceneGl, CtrlClickPutsTheSelectionOnTopOfAnotherObject) {
    look(Vector3(0, 120, 120), Vector3());
    board(Vector3());
    NodeGraphic* b = ball(Vector3(200, 0, 0));
    frame();

    click(Vector3(), GLUT_ACTIVE_CTRL); // nothing selected: nothing happens
    EXPECT_EQ(b->getPosition(), Vector3(200, 0, 0));

    scene.select(b);
    frame();
    click(Vector3(), GLUT_ACTIVE_CTRL);
    EXPECT_NEAR(b->getPosition().x, 0.0f, 1.5f);
    EXPECT_NEAR(b->getPosition().z, 0.0f, 1.5f);
    EXPECT_NEAR(b->getPosition().y, 11.5f, 0.5f); // resting on the board's top
    EXPECT_FALSE(b->hitTestAll(Vector3()).hit);

    // CTRL+click on the selected object itself leaves it where it is.
    frame();
    const Vector3 onBoard = b->getPosition();
    click(onBoard, GLUT_ACTIVE_CTRL);
    EXPECT_EQ(b->getPosition(), onBoard);
    clickAt(5, 5, GLUT_ACTIVE_CTRL); // no surface there
    EXPECT_EQ(b->getPosition(), onBoard);

    // With no free place above the board the object stays where it was.
    b->setPosition(Vector3(200, 0, 0));
    auto* block = new NodeTransform(true);
    block->setBoundingVolume(BoundingVolume::makeBoxVolume(Vector3(0, 50, 0), Vector3(100, 100, 100)));
    block->registerForHits();
    scene.addObject(block);
    scene.step(0.0f, 0.0f);
    frame();
    click(Vector3(10, 0, 10), GLUT_ACTIVE_CTRL);
    EXPECT_EQ(b->getPosition(), Vector3(200, 0, 0));

    // In level mode only objects free on all three axes may be placed.
    scene.removeObject(block);
    scene.step(0.0f, 0.0f);
    b->setEditPosition(true, false, true);
    frame();
    click(Vector3(), GLUT_ACTIVE_CTRL);
    EXPECT_EQ(b->getPosition(), Vector3(200, 0, 0));
}

TEST_F(SceneGl, StoppingTheMachineRestoresEveryObjectAndTheSelection) {
    NodeGraphic* a = ball(Vector3(-40, 0, 0));
    NodeGraphic* b = ball(Vector3(40, 0, 0));
    const int idA = a->getId(), idB = b->getId();
    for (NodeGraphic* n : {a, b}) {
        n->setPhysical(true, false, 1.0f, 1.0f, 0.0f, false);
        n->setVelocity(Vector3(0, 50, 0));
    }
    scene.select(b);
    // How many colour values of the view change when 't' hides the trace (shown at first) and shows it again.
    auto traceDraws = [&] {
        std::vector<unsigned char> on(400 * 300 * 3), off(on.size());
        for (auto* buffer : {&on, &off}) {
            frame();
            glReadPixels(0, 0, 400, 300, GL_RGB, GL_UNSIGNED_BYTE, buffer->data());
            scene.keyPressed('t', 0, false);
        }
        return std::inner_product(on.begin(), on.end(), off.begin(), 0, std::plus<>(), std::not_equal_to<>());
    };

    ASSERT_TRUE(scene.setRunning(true));
    EXPECT_TRUE(fs::exists("levels/_current.lvs"));
    for (int i = 0; i < 3; ++i)
        scene.step(0.2f, 0.0f);
    EXPECT_GT(a->getPosition().y, 25.0f);
    EXPECT_EQ(scene.machine().trace().getPaths().size(), 2u) << "recorded while the machine runs";
    EXPECT_EQ(traceDraws(), 0) << "and not drawn yet";

    ASSERT_TRUE(scene.setRunning(false));
    auto* restoredA = dynamic_cast<NodeGraphic*>(scene.findNode(idA));
    auto* restoredB = dynamic_cast<NodeGraphic*>(scene.findNode(idB));
    ASSERT_NE(restoredA, nullptr);
    ASSERT_NE(restoredB, nullptr);
    EXPECT_EQ(restoredA->getPosition(), Vector3(-40, 0, 0));
    EXPECT_EQ(restoredB->getPosition(), Vector3(40, 0, 0));
    EXPECT_EQ(scene.getSelected(), restoredB);
    EXPECT_TRUE(restoredB->isSelected());
    EXPECT_EQ(scene.getRoot()->getChildren().size(), 2u);

    // The trace shows each ball's path from where it stood to where the stop found it, until the next start or load.
    for (const auto& path : scene.machine().trace().getPaths())
        EXPECT_TRUE(path.points.front().y == 0.0f && path.points.back().y > 25.0f) << path.id;
    EXPECT_GT(traceDraws(), 100);
    EXPECT_TRUE(scene.setRunning(true) && scene.machine().trace().isEmpty());
    scene.step(0.2f, 0.0f);
    EXPECT_TRUE(scene.setRunning(false) && !scene.machine().trace().isEmpty());
    EXPECT_TRUE(scene.loadScene(Scene::kSnapshotName) && scene.machine().trace().isEmpty());
}

// Culling skips and counts the models outside the view; switched off, it culls nothing.
TEST_F(SceneGl, CullingCountsModelsOutsideTheView) {
    ball(Vector3(0, 0, 300)); // behind the camera
    ball(Vector3(-500, 0, 0)); // far to the left
    ball(Vector3());
    frame();
    EXPECT_EQ(std::make_pair(scene.culling().culled(), scene.culling().drawn()), std::make_pair(2u, 1u));
    EXPECT_NEAR(scene.culling().culledShare(), 2.0f / 3.0f, 1e-6f);
    scene.settings().setCulling(false);
    frame();
    EXPECT_EQ(std::make_pair(scene.culling().culled(), scene.culling().drawn()), std::make_pair(0u, 3u));
}

// Whole fixed steps: a frame's time is capped, tripled in fast forward, a remainder waits.
TEST_F(SceneGl, FramesRunFixedStepsCappedAndTripledInFastForward) {
    const float step = NSPhysical::StepClock::kStep;
    auto* clock = new ClockNode();
    scene.addObject(clock);
    scene.step(0.5f, 0.0f);
    EXPECT_EQ(clock->steps, 0); // the machine is off

    ASSERT_TRUE(scene.setRunning(true));
    struct Frame {
        float time;
        bool fastForward, paused;
        int steps; // in all, since the start
    };
    const Frame frames[] = {{0.5f, false, false, 24},      {0.5f, true, false, 96},
                            {0.5f, true, true, 96},        {0.4f * step, false, false, 96},
                            {0.7f * step, false, false, 97}, {2.5f * step, false, false, 99}};
    for (const Frame& f : frames) {
        scene.machine().setFastForward(f.fastForward);
        scene.setPaused(f.paused);
        scene.step(f.time, 0.0f);
        EXPECT_EQ(clock->steps, f.steps) << f.time;
        EXPECT_NEAR(clock->total, f.steps * step, 1e-4f);
    }
}

TEST_F(SceneGl, CameraDragsPanTurnAndZoomWithoutPassingTheTarget) {
    Camera& cam = scene.getCamera();
    look(Vector3(0, 0, 50), Vector3());
    scene.mouseButton(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 0, 100, 100);
    scene.mouseDrag(0, 100, 200); // 100 pixels towards a target 50 away
    EXPECT_EQ(cam.getEye(), Vector3(0, 0, 50));
    scene.mouseDrag(0, 100, 100); // away always works
    EXPECT_NEAR(cam.getEye().z, 150.0f, 1e-3f);
    scene.mouseButton(GLUT_MIDDLE_BUTTON, GLUT_UP, 0, 100, 100);

    // The scene follows the pointer at half a unit per pixel.
    scene.mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, 10, 10);
    scene.mouseDrag(0, 30, 10);
    EXPECT_NEAR(cam.getEye().x, -10.0f, 1e-3f);
    EXPECT_NEAR(cam.getTarget().x, -10.0f, 1e-3f);
    scene.mouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 0, 30, 10);
}

// The wheel zooms by a tenth of the distance; pitch stops short of vertical; the camera stays in the room,
// but for the overview.
TEST_F(SceneGl, TheCameraZoomsByWheelStopsItsPitchAndStaysInTheRoomButForTheOverview) {
    Camera& cam = scene.getCamera();
    look(Vector3(0, 0, 50), Vector3());
    scene.mouseButton(NSWindow::kWheelUpButton, GLUT_DOWN, 0, 100, 100);
    scene.mouseButton(NSWindow::kWheelUpButton, GLUT_UP, 0, 100, 100);
    EXPECT_NEAR(cam.getEye().z, 45.0f, 1e-3f);
    scene.mouseButton(NSWindow::kWheelDownButton, GLUT_DOWN, 0, 100, 100);
    EXPECT_NEAR(cam.getEye().z, 49.5f, 1e-3f);

    for (float turn : {0.3f, -0.3f}) {
        look(Vector3(0, 0, 50), Vector3());
        const Vector3 side = cross(cam.getTarget() - cam.getEye(), cam.getUpPoint() - cam.getEye());
        for (int i = 0; i < 20; ++i) {
            cam.rotate(turn, side);
            cam.update(0.0f);
        }
        EXPECT_NEAR(std::fabs(cam.pitch()), 1.48f, 1e-3f) << turn; // about 85 degrees
        EXPECT_GT(cam.getUpPoint().y - cam.getEye().y, 0.0f) << "never upside down";
    }

    // A room 200 long (x), 120 wide (y), 300 high (z).
    scene.addObject(new NSObjects::ObjectRoom(200, 120, 300));
    scene.step(0.0f, 0.0f);
    look(Vector3(0, 0, 50), Vector3());
    cam.storeDefault();
    cam.setSlideVelocity(Vector3(0, -100, 0));
    for (int i = 0; i < 20; ++i)
        scene.step(0.0f, 0.1f);
    EXPECT_NEAR(cam.getEye().y, -60.0f + 5.0f, 1e-3f);
    cam.setSlideVelocity(Vector3(0, 0, 0));
    for (int i = 0; i < 30; ++i)
        scene.mouseButton(NSWindow::kWheelDownButton, GLUT_DOWN, 0, 100, 100);
    scene.step(0.0f, 0.0f);
    EXPECT_NEAR(cam.getEye().z, 150.0f - 5.0f, 1e-3f);

    // The overview ('o' or its button) looks down from above the ceiling with a camera of its own, which the
    // camera buttons then steer; leaving it shows the view before unchanged.
    const Vector3 eye = scene.getCamera().getEye(), target = scene.getCamera().getTarget();
    scene.keyPressed('o', 0, false);
    ASSERT_TRUE(scene.isOverview());
    const float high = scene.view().getEye().y;
    EXPECT_GT(high, 60.0f + 5.0f);
    const auto& buttons = scene.getChildren(); // the zoomer towards the target, the overview last
    buttons[11]->mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, 0, 0);
    scene.step(0.0f, 0.1f);
    buttons[11]->mouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 0, 0, 0);
    EXPECT_LT(scene.view().getEye().y, high);
    buttons.back()->mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, 0, 0);
    ASSERT_FALSE(scene.isOverview());
    EXPECT_EQ(std::make_pair(scene.view().getEye(), scene.view().getTarget()), std::make_pair(eye, target));
    scene.setOverview(true);
    scene.clearScene();
    EXPECT_FALSE(scene.isOverview()) << "a new level starts in its own view";
    // A tall, narrow room: its floor alone would fit a view from under its ceiling.
    scene.addObject(new NSObjects::ObjectRoom(40, 600, 40));
    scene.step(0.0f, 0.0f);
    scene.setOverview(true);
    EXPECT_GT(scene.view().getEye().y, 300.0f) << "above the ceiling";
}

TEST_F(SceneGl, SceneFilesKeepTheLayoutAndNeverLoseAGoodCopy) {
    EXPECT_EQ(NSScene::sceneFilePath("a"), "levels/a.lvs");
    EXPECT_EQ(NSScene::sceneFilePath("b.lvs"), "levels/b.lvs");
    EXPECT_EQ(NSScene::sceneFilePath(".lvs"), "levels/.lvs.lvs");
    EXPECT_EQ(NSScene::sceneFilePath("sub\\c"), "levels/sub/c.lvs");

    look(Vector3(1, 2, 3), Vector3(4, 5, 6));
    fs::remove_all("levels");
    ASSERT_TRUE(scene.saveScene("layout")); // a missing folder is made

    // Loading brings back the objects and the camera.
    NodeGraphic* b = ball(Vector3(5, 6, 7));
    const int id = b->getId();
    ASSERT_TRUE(scene.saveScene("one"));
    look(Vector3(0, 0, 400), Vector3());
    ASSERT_TRUE(scene.loadScene("layout"));
    EXPECT_TRUE(scene.getRoot()->getChildren().empty());
    EXPECT_EQ(scene.getCamera().getEye(), Vector3(1, 2, 3));
    ASSERT_TRUE(scene.loadScene("one"));
    ASSERT_NE(scene.findNode(id), nullptr);
    EXPECT_EQ(scene.findNode(id)->getPosition(), Vector3(5, 6, 7));
}

TEST_F(SceneGl, ADamagedSceneFileLeavesTheSceneAsItWas) {
    ball(Vector3(1, 2, 3));
    ASSERT_TRUE(scene.saveScene("good"));
    const Bytes good = qbntest::readFileBytes("levels/good.lvs");
    qbntest::writeFileBytes("levels/short.lvs", Bytes(good.begin(), good.end() - 30));
    Bytes wrongId = good;
    wrongId[12 + 4 + 4 + 7 + 4 + 7 + 4] = 0x7F; // the root's class id
    qbntest::writeFileBytes("levels/wrongid.lvs", wrongId);
    qbntest::writeFileBytes("levels/noise.lvs", Bytes(200, 0xAB));
    Bytes badCamera = good;
    badCamera[good.size() - 76] = 0xF0; // the camera block's length
    qbntest::writeFileBytes("levels/badcamera.lvs", badCamera);

    look(Vector3(7, 7, 70), Vector3());
    NodeTransform* root = scene.getRoot();
    NodeGraphic* selected = dynamic_cast<NodeGraphic*>(root->getChildren().at(0));
    scene.select(selected);
    for (const char* name : {"short", "wrongid", "noise", "badcamera", "missing"}) {
        EXPECT_FALSE(scene.loadScene(name)) << name;
        EXPECT_EQ(scene.getRoot(), root) << name;
        EXPECT_EQ(root->getChildren().size(), 1u) << name;
        EXPECT_EQ(scene.getSelected(), selected) << name;
        EXPECT_EQ(scene.getCamera().getEye(), Vector3(7, 7, 70)) << name;
    }

    // A scene name that is no scene file may be the active level's file.
    Bytes level = qbntest::cat({qbntest::str0("[QBN-LEVEL]"), qbntest::le32(8), qbntest::str0("1.0"), good});
    qbntest::writeFileBytes("levels/lv.lvl", level);
    NSScene::SceneFiles::setLevelFileLookup([](const std::string& name) { return "levels/" + name + ".lvl"; });
    EXPECT_TRUE(scene.loadScene("lv"));
    NSScene::SceneFiles::setLevelFileLookup(nullptr);
    EXPECT_EQ(scene.getSelected(), nullptr);
    ASSERT_EQ(scene.getRoot()->getChildren().size(), 1u);
    EXPECT_EQ(scene.getRoot()->getChildren()[0]->getPosition(), Vector3(1, 2, 3));
}

} // namespace
