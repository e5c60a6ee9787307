// Frame pacing: a few frames a second while nothing moves, full rate at once when something does.
#include <gtest/gtest.h>

#include <GL/freeglut.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string>

#include "scene/Scene.h"
#include "shell/FramePacer.h"
#include "window/Window.h"
#include "window/WindowTempPopUp.h"
#include "support/GameFolder.h"
#include "support/GlContext.h"

using NSWindow::FramePacer;
using NSWindow::Window;

namespace {

// The game's window with its items, in a scratch working folder.
class Pacing : public qbntest::GlTest {
protected:
    qbntest::GameFolder folder; // first in, last out
    void SetUp() override {
        GlTest::SetUp();
        window.onReshape(800, 600);
        window.init(false);
        window.applyPendingChanges();
        scene = window.getScene();
    }

    // The frames the main loop draws in `seconds` of a simulated clock, each frame taking 2 ms.
    int framesIn(double seconds) {
        int frames = 0;
        for (const double end = now + seconds;;) {
            const double at = pacer.nextFrameAt(now, window.wantsContinuousFrames());
            if (at >= end) {
                now = end;
                return frames;
            }
            now = std::max(now, at);
            pacer.frameStarted(now);
            window.update();
            ++frames;
            now += 0.002;
        }
    }

    Window window;
    NSScene::Scene* scene = nullptr;
    FramePacer pacer{120};
    double now = 100.0;
};

} // namespace

TEST_F(Pacing, AStillSceneDrawsAFewFramesASecondAndWhatMovesDrawsAtTheCapAtOnce) {
    framesIn(1.0);
    EXPECT_LE(framesIn(10.0), 30) << "the machine stands, nothing is touched";

    pacer.wake(now);
    EXPECT_EQ(pacer.nextFrameAt(now, false), now) << "input is drawn at once";
    EXPECT_GE(framesIn(FramePacer::kInputHold), 30);
    EXPECT_LE(framesIn(2.0), 6);

    const struct {
        const char* what;
        std::function<void()> start, stop;
    } movers[] = {
        {"the machine", [&] { ASSERT_TRUE(scene->setRunning(true)); }, [&] { scene->setRunning(false); }},
        {"the camera", [&] { scene->getCamera().setRotation(0.8f, Vector3(0, 1, 0)); },
         [&] { scene->getCamera().setRotation(0.0f, Vector3(0, 1, 0)); }},
        {"a message", [&] { window.showTempPopUp("Frame cap 60 fps"); window.applyPendingChanges(); },
         [&] { NSWindow::WindowTempPopUp::current()->advance(10.0f); window.update(); }},
    };
    for (const auto& m : movers) {
        SCOPED_TRACE(m.what);
        framesIn(1.0);
        m.start();
        EXPECT_LE(pacer.nextFrameAt(now, window.wantsContinuousFrames()), now + 1.0 / 120) << "at once";
        const int frames = framesIn(2.0);
        EXPECT_GE(frames, 235);
        EXPECT_LE(frames, 241) << "the cap holds";
        m.stop();
        framesIn(1.0);
        EXPECT_LE(framesIn(2.0), 5);
    }

    ASSERT_TRUE(scene->setRunning(true));
    scene->setPaused(true);
    EXPECT_FALSE(window.wantsContinuousFrames()) << "a paused machine is still";
    scene->setRunning(false);
}

TEST_F(Pacing, EveryKindOfInputWakesTheWindowAndShiftF11StepsTheCap) {
    const std::function<void(Window&)> inputs[] = {
        [](Window& w) { w.onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 10, 10, 0); },
        [](Window& w) { w.onMotion(20, 20); },
        [](Window& w) { w.onPassiveMotion(30, 30); },
        [](Window& w) { w.onKeyboard('a', 0); },
        [](Window& w) { w.onSpecial(GLUT_KEY_LEFT, 0); },
        [](Window& w) { w.onReshape(640, 480); },
    };
    for (const auto& input : inputs) {
        Window fresh;
        EXPECT_TRUE(fresh.getPacer().isIdle(Window::seconds() + 1.0, false));
        input(fresh);
        EXPECT_FALSE(fresh.getPacer().isIdle(Window::seconds(), false));
    }

    EXPECT_EQ(window.getFrameCap(), 120);
    std::string shown;
    for (int i = 0; i < 5; ++i) {
        window.onSpecial(GLUT_KEY_F11, GLUT_ACTIVE_SHIFT);
        window.applyPendingChanges();
        shown += std::to_string(window.getFrameCap()) + " " + NSWindow::WindowTempPopUp::current()->getText() + "; ";
    }
    EXPECT_EQ(shown, "60 Frame cap 60 fps; 30 Frame cap 30 fps; 0 Frame cap off; 120 Frame cap 120 fps; "
                     "60 Frame cap 60 fps; ");
    window.setFrameCap(0);
    EXPECT_FALSE(window.getPacer().isIdle(Window::seconds() + 10.0, false)) << "uncapped never idles";
}
