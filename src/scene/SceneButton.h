#pragma once
// The fifteen small buttons over the 3D view: start (pause, resume), stop
// and fast forward for the machine; four arrows that turn the camera about
// its target, four that slide it, zoom in and out, a camera reset and the
// overview (top right). The camera buttons steer the camera the view shows
// (the overview's while it lasts). Each
// draws its face in the square from -0.5 to 0.5 (origin at the centre, y
// up). The camera buttons switch the camera's continuous motions on at a
// left press and off at the release, so the camera moves at a fixed speed
// while a button is held.
//
// Every button consumes every mouse button event it receives.

#include "ui/WindowButton.h"

namespace NSScene {

class Scene;

// Turns the camera about its target at 0.8 radians per second: 0 and 1 tilt
// it about its horizontal axis (up, down), 2 and 3 turn it about the world's
// vertical axis (left, right).
class WindowButtonSceneRotater : public NSWindow::WindowButton {
public:
    static constexpr float kSpeed = 0.8f;

    WindowButtonSceneRotater(Scene* scene, int direction);
    bool mouseButton(int button, int state, int modifiers, int x, int y) override;
    void drawButton() override;

private:
    Scene* scene;
    int direction;
};

// Starts the machine; once it runs, pauses and resumes it.
class SceneStartButton : public NSWindow::WindowButton {
public:
    explicit SceneStartButton(Scene* scene);
    bool mouseButton(int button, int state, int modifiers, int x, int y) override;
    void drawButton() override;

private:
    Scene* scene;
};

// Stops a running machine, which brings the scene back as it was at the
// start.
class SceneStopButton : public NSWindow::WindowButton {
public:
    explicit SceneStopButton(Scene* scene);
    bool mouseButton(int button, int state, int modifiers, int x, int y) override;
    void drawButton() override;

private:
    Scene* scene;
};

// Runs a running machine at three times the speed while it is held.
class SceneFastForwardButton : public NSWindow::WindowButton {
public:
    explicit SceneFastForwardButton(Scene* scene);
    bool mouseButton(int button, int state, int modifiers, int x, int y) override;
    void drawButton() override;

private:
    Scene* scene;
};

// Slides the camera up (0), down (1), left (2) or right (3) at one and a
// half times its distance from the target per second. Idle while the
// machine runs with a selection, when the camera follows the object.
class WindowButtonSceneSlider : public NSWindow::WindowButton {
public:
    static constexpr float kSpeedPerDistance = 1.5f;

    WindowButtonSceneSlider(Scene* scene, int direction);
    bool mouseButton(int button, int state, int modifiers, int x, int y) override;
    void drawButton() override;

private:
    Scene* scene;
    int direction;
};

// Zooms towards the target (0) or away from it (1) at 200 units per second.
class WindowButtonSceneZoomer : public NSWindow::WindowButton {
public:
    static constexpr float kSpeed = 200.0f;

    WindowButtonSceneZoomer(Scene* scene, int direction);
    bool mouseButton(int button, int state, int modifiers, int x, int y) override;
    void drawButton() override;

private:
    Scene* scene;
    int direction;
};

// Puts the camera back where the level placed it; any mouse button does.
class ButtonResetCamera : public NSWindow::WindowButton {
public:
    explicit ButtonResetCamera(Scene* scene);
    bool mouseButton(int button, int state, int modifiers, int x, int y) override;
    void drawButton() override;

private:
    Scene* scene;
};

// Shows the whole room from above, and the view before at the next press.
class SceneOverviewButton : public NSWindow::WindowButton {
public:
    explicit SceneOverviewButton(Scene* scene);
    bool mouseButton(int button, int state, int modifiers, int x, int y) override;
    void drawButton() override;

private:
    Scene* scene;
};

// Creates the fifteen buttons as children of scene, in their places.
void addSceneButtons(Scene& scene);

} // namespace NSScene
