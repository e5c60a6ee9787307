// The buttons over the view: the machine switch and the camera controls,
// pressed and released through the view's own input routing.
#include <cmath>
#include <cstdlib>
#include <vector>

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
    // The colour of b's face at (u, v) of its -0.5..0.5 square, as drawn.
    std::vector<unsigned char> face(WindowItem* b, float u, float v) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        scene.draw();
        const NSWindow::ItemLayout& s = b->getScreenArea();
        return qbntest::readPixels(s.x + static_cast<int>((u + 0.5f) * s.width),
                                   s.y + static_cast<int>((v + 0.5f) * s.height), 1, 1);
    }
    using Rgb = std::vector<unsigned char>;
    static ::testing::AssertionResult near(const Rgb& got, const Rgb& want) {
        for (int i = 0; i < 3; ++i)
            if (std::abs(got[i] - want[i]) > 2)
                return ::testing::AssertionFailure()
                       << "(" << +got[0] << ", " << +got[1] << ", " << +got[2] << ") is not (" << +want[0] << ", "
                       << +want[1] << ", " << +want[2] << ")";
        return ::testing::AssertionSuccess();
    }
    Camera& cam() { return scene.getCamera(); }
};

TEST_F(SceneButtons, FourteenButtonsSitInTheirPlaces) {
    scene.setLayout(NSWindow::ItemLayout(0, 0, 600, 400));
    ASSERT_EQ(scene.getChildren().size(), 14u);
    auto place = [](WindowItem* b) {
        const NSWindow::ItemLayout& a = b->getArea();
        return std::vector<int>{a.x, a.y, a.width, a.height};
    };
    // y counts upward from the bottom of the view.
    EXPECT_EQ(place(button<NSScene::WindowButtonSceneRotater>(0)), (std::vector<int>{285, 350, 30, 30}));
    EXPECT_EQ(place(button<NSScene::WindowButtonSceneRotater>(3)), (std::vector<int>{550, 185, 30, 30}));
    EXPECT_EQ(place(button<NSScene::SceneStartButton>()), (std::vector<int>{15, 13, 25, 25}));
    EXPECT_EQ(place(button<NSScene::SceneFastForwardButton>()), (std::vector<int>{85, 13, 25, 25}));
    EXPECT_EQ(place(button<NSScene::WindowButtonSceneSlider>(2)), (std::vector<int>{480, 10, 30, 30}));
    EXPECT_EQ(place(button<NSScene::ButtonResetCamera>()), (std::vector<int>{560, 10, 30, 30}));
}

TEST_F(SceneButtons, StartPausesAndResumesStopRestoresFastForwardLastsWhileHeld) {
    NodeGraphic* b = ball(Vector3(0, 0, 0));
    b->setPhysical(true, false, 1.0f, 1.0f, 0.0f, false);
    b->setVelocity(Vector3(0, -50, 0));
    WindowItem* start = button<NSScene::SceneStartButton>();
    WindowItem* stop = button<NSScene::SceneStopButton>();
    WindowItem* fast = button<NSScene::SceneFastForwardButton>();
    const Rgb play{0, 230, 0}, pause{26, 230, 230}, grey{77, 77, 77};

    // Stopped: fast forward does nothing and stays grey; play shows.
    mouse(fast, GLUT_DOWN);
    EXPECT_FALSE(scene.isFastForward());
    mouse(fast, GLUT_UP);
    EXPECT_TRUE(near(face(fast, -0.3f, 0.0f), grey));
    EXPECT_TRUE(near(face(start, 0.0f, 0.0f), play));
    EXPECT_TRUE(near(face(stop, 0.0f, 0.0f), grey));

    // Start, pause, resume: play, pause, play, pause.
    mouse(start, GLUT_DOWN);
    mouse(start, GLUT_UP);
    EXPECT_TRUE(scene.isRunning());
    EXPECT_TRUE(near(face(start, -0.33f, 0.0f), pause));
    EXPECT_TRUE(near(face(stop, 0.0f, 0.0f), {230, 0, 0}));
    scene.step(0.1f, 0.0f);
    EXPECT_LT(b->getPosition().y, -4.0f);
    mouse(start, GLUT_DOWN);
    EXPECT_TRUE(scene.isPaused());
    EXPECT_TRUE(scene.isRunning());
    EXPECT_TRUE(near(face(start, -0.33f, 0.0f), play));
    mouse(start, GLUT_DOWN);
    EXPECT_FALSE(scene.isPaused());
    EXPECT_TRUE(near(face(start, -0.33f, 0.0f), pause));

    // Fast forward while held, also when released away from the button;
    // yellow double triangle, blue single one while held.
    EXPECT_TRUE(near(face(fast, 0.1f, 0.3f), {230, 230, 26}));
    mouse(fast, GLUT_DOWN);
    EXPECT_TRUE(scene.isFastForward());
    EXPECT_TRUE(near(face(fast, -0.3f, 0.0f), {77, 77, 230}));
    EXPECT_FALSE(near(face(fast, 0.1f, 0.3f), {77, 77, 230})); // outside the single triangle
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
    // Turning left for 2 s: 1.6 radians about the world's vertical axis
    // through the target, and no further after the release.
    hold(button<NSScene::WindowButtonSceneRotater>(2), 2.0f);
    run(0.5f);
    EXPECT_NEAR(std::atan2(cam().getEye().x, cam().getEye().z), -1.6f, 1e-3f);
    EXPECT_NEAR(length(cam().getEye()), 100.0f, 1e-2f);
    cam().reset();
    hold(button<NSScene::WindowButtonSceneRotater>(3), 0.5f);
    EXPECT_NEAR(std::atan2(cam().getEye().x, cam().getEye().z), 0.4f, 1e-3f);
    cam().reset();
    // Up tilts the eye over the target, down below it.
    hold(button<NSScene::WindowButtonSceneRotater>(0), 0.5f);
    EXPECT_NEAR(std::atan2(cam().getEye().y, cam().getEye().z), 0.4f, 1e-3f);
    cam().reset();
    hold(button<NSScene::WindowButtonSceneRotater>(1), 0.5f);
    EXPECT_NEAR(std::atan2(cam().getEye().y, cam().getEye().z), -0.4f, 1e-3f);

    // Sliding: 1.5 times the distance per second, eye and target alike; a
    // release away from the button still stops it.
    cam().reset();
    WindowItem* up = button<NSScene::WindowButtonSceneSlider>(0);
    mouse(up, GLUT_DOWN);
    run(0.2f);
    scene.mouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 0, 5, 290);
    run(0.5f);
    EXPECT_NEAR(cam().getEye().y, 30.0f, 1e-2f);
    EXPECT_NEAR(cam().getTarget().y, 30.0f, 1e-2f);
    cam().reset();
    hold(button<NSScene::WindowButtonSceneSlider>(1), 0.2f);
    EXPECT_NEAR(cam().getTarget().y, -30.0f, 1e-2f);
    cam().reset();
    hold(button<NSScene::WindowButtonSceneSlider>(2), 0.2f);
    EXPECT_NEAR(cam().getTarget().x, -30.0f, 1e-2f);
    cam().reset();
    hold(button<NSScene::WindowButtonSceneSlider>(3), 0.2f);
    EXPECT_NEAR(cam().getTarget().x, 30.0f, 1e-2f);

    // Zoom: 200 units per second; zooming in stops short of the target.
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

    // While the machine runs with a selection the camera follows the object
    // and the slide buttons do nothing.
    scene.select(ball(Vector3()));
    ASSERT_TRUE(scene.setRunning(true));
    hold(button<NSScene::WindowButtonSceneSlider>(0), 0.2f);
    EXPECT_EQ(cam().getEye(), Vector3(0, 0, 100));
}

} // namespace
