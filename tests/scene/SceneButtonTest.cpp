// The buttons over the view (machine switch, camera controls), through the view's own input routing.
#include <cmath>
#include <functional>

#include "scene/SceneButton.h"
#include "scene/SceneFixture.h"

using NSScene::Camera;
using qbntest::SceneGl;

namespace {

using NSNode::NodeGraphic;
using NSWindow::WindowItem;

class SceneButtons : public SceneGl {
protected:
    void SetUp() override {
        SceneGl::SetUp();
        look(Vector3(0, 0, 100), Vector3());
        scene.getCamera().storeDefault();
    }
    // The index-th child of the view that is a T.
    template <class T>
    WindowItem* button(int index = 0) {
        for (WindowItem* child : scene.getChildren())
            if (dynamic_cast<T*>(child) && index-- == 0)
                return child;
        ADD_FAILURE() << "no such button";
        return nullptr;
    }
    // Presses (or releases) the mouse over the middle of b, through the view.
    void mouse(WindowItem* b, int state, int which = GLUT_LEFT_BUTTON) {
        const NSWindow::ItemLayout& a = b->getArea();
        EXPECT_TRUE(scene.mouseButton(which, state, 0, a.x + a.width / 2, a.y + a.height / 2));
    }
    // Holds b for seconds of camera time, in frames of 0.1 s.
    void hold(WindowItem* b, float seconds) {
        mouse(b, GLUT_DOWN);
        run(seconds);
        mouse(b, GLUT_UP);
    }
    void run(float seconds) {
        for (int i = 0; i < static_cast<int>(std::lround(seconds * 10)); ++i)
            scene.step(0.0f, 0.1f);
    }
    Camera& cam() { return scene.getCamera(); }
};

TEST_F(SceneButtons, StartPausesAndResumesStopRestoresFastForwardLastsWhileHeld) {
    NodeGraphic* b = ball(Vector3(0, 0, 0));
    b->setPhysical(true, false, 1.0f, 1.0f, 0.0f, false);
    b->setVelocity(Vector3(0, -50, 0));
    WindowItem* start = button<NSScene::SceneStartButton>();
    WindowItem* stop = button<NSScene::SceneStopButton>();
    WindowItem* fast = button<NSScene::SceneFastForwardButton>();

    // Stopped: fast forward does nothing.
    mouse(fast, GLUT_DOWN);
    EXPECT_FALSE(scene.isFastForward());
    mouse(fast, GLUT_UP);

    // Start, pause, resume.
    mouse(start, GLUT_DOWN);
    mouse(start, GLUT_UP);
    EXPECT_TRUE(scene.isRunning());
    scene.step(0.1f, 0.0f);
    EXPECT_LT(b->getPosition().y, -4.0f);
    mouse(start, GLUT_DOWN);
    EXPECT_TRUE(scene.isPaused());
    EXPECT_TRUE(scene.isRunning());
    mouse(start, GLUT_DOWN);
    EXPECT_FALSE(scene.isPaused());

    // Fast forward while held, also when released away from the button.
    mouse(fast, GLUT_DOWN);
    EXPECT_TRUE(scene.isFastForward());
    EXPECT_TRUE(scene.mouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 0, 300, 200));
    EXPECT_FALSE(scene.isFastForward());

    // Stop puts the ball back; stop again does nothing.
    const int id = b->getId();
    mouse(stop, GLUT_DOWN);
    EXPECT_FALSE(scene.isRunning());
    ASSERT_NE(scene.findNode(id), nullptr);
    EXPECT_EQ(scene.findNode(id)->getPosition(), Vector3(0, 0, 0));
    mouse(stop, GLUT_DOWN);
    EXPECT_FALSE(scene.isRunning());
}

TEST_F(SceneButtons, CameraButtonsMoveTheCameraOnlyWhileHeld) {
    // Turning left for 2 s: 1.6 radians about the vertical through the target, no further after the release.
    hold(button<NSScene::WindowButtonSceneRotater>(2), 2.0f);
    run(0.5f);
    EXPECT_NEAR(std::atan2(cam().getEye().x, cam().getEye().z), -1.6f, 1e-3f);
    EXPECT_NEAR(length(cam().getEye()), 100.0f, 1e-2f);
    // Turns (0.8 rad/s) up, down, right; slides (1.5 distances/s) up, down, left, right, eye and target alike.
    const struct {
        WindowItem* button;
        float seconds;
        std::function<float()> measure;
        float expected;
    } moves[] = {
        {button<NSScene::WindowButtonSceneRotater>(0), 0.5f, [&] { return std::atan2(cam().getEye().y, cam().getEye().z); }, 0.4f},
        {button<NSScene::WindowButtonSceneRotater>(1), 0.5f, [&] { return std::atan2(cam().getEye().y, cam().getEye().z); }, -0.4f},
        {button<NSScene::WindowButtonSceneRotater>(3), 0.5f, [&] { return std::atan2(cam().getEye().x, cam().getEye().z); }, 0.4f},
        {button<NSScene::WindowButtonSceneSlider>(1), 0.2f, [&] { return cam().getTarget().y + cam().getEye().y; }, -60.0f},
        {button<NSScene::WindowButtonSceneSlider>(2), 0.2f, [&] { return cam().getTarget().x + cam().getEye().x; }, -60.0f},
        {button<NSScene::WindowButtonSceneSlider>(3), 0.2f, [&] { return cam().getTarget().x + cam().getEye().x; }, 60.0f},
    };
    for (const auto& m : moves) {
        cam().reset();
        hold(m.button, m.seconds);
        EXPECT_NEAR(m.measure(), m.expected, 2e-2f) << m.expected;
    }
    // A release away from the button still stops it.
    cam().reset();
    mouse(button<NSScene::WindowButtonSceneSlider>(0), GLUT_DOWN);
    run(0.2f);
    scene.mouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 0, 5, 290);
    run(0.5f);
    EXPECT_NEAR(cam().getEye().y, 30.0f, 1e-2f);
    EXPECT_NEAR(cam().getTarget().y, 30.0f, 1e-2f);

    // Zoom: 200 units per second, stopping short of the target.
    cam().reset();
    hold(button<NSScene::WindowButtonSceneZoomer>(1), 0.2f);
    EXPECT_NEAR(cam().getEye().z, 140.0f, 1e-2f);
    hold(button<NSScene::WindowButtonSceneZoomer>(0), 0.2f);
    EXPECT_NEAR(cam().getEye().z, 100.0f, 1e-2f);
    hold(button<NSScene::WindowButtonSceneZoomer>(0), 2.0f);
    EXPECT_GT(cam().getEye().z, 0.0f);
    EXPECT_EQ(cam().getTarget(), Vector3());

    // Reset answers any mouse button, the right one too.
    mouse(button<NSScene::ButtonResetCamera>(), GLUT_DOWN, GLUT_RIGHT_BUTTON);
    EXPECT_EQ(cam().getEye(), Vector3(0, 0, 100));
    EXPECT_EQ(cam().getTarget(), Vector3());

    // While the machine runs with a selection the camera is carried along with it (it does not jump to it at the
    // start) and slide buttons do nothing.
    NodeGraphic* selected = ball(Vector3(50, 0, 0));
    scene.select(selected);
    ASSERT_TRUE(scene.setRunning(true));
    hold(button<NSScene::WindowButtonSceneSlider>(0), 0.2f);
    EXPECT_EQ(cam().getEye(), Vector3(0, 0, 100));
    selected->setPosition(Vector3(60, -5, 0));
    run(0.1f);
    EXPECT_EQ(cam().getEye(), Vector3(10, -5, 100));
    EXPECT_EQ(cam().getTarget(), Vector3(10, -5, 0));
}

} // namespace
