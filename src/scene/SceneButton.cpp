#include "scene/SceneButton.h"

#include <GL/freeglut.h>

#include "scene/Scene.h"

namespace NSScene {

namespace {

bool leftPress(int button, int state) { return button == GLUT_LEFT_BUTTON && state == GLUT_DOWN; }
bool leftRelease(int button, int state) { return button == GLUT_LEFT_BUTTON && state == GLUT_UP; }

// Clockwise turn of the arrow faces per direction: up, down, left, right.
const float kArrowTurn[4] = {0.0f, 180.0f, 270.0f, 90.0f};

// An arrow pointing up, turned clockwise by the direction's angle.
void drawArrow(int direction) {
    glPushMatrix();
    glRotatef(kArrowTurn[direction & 3], 0.0f, 0.0f, -1.0f);
    glBegin(GL_TRIANGLES);
    glVertex2f(-0.5f, 0.0f);
    glVertex2f(0.5f, 0.0f);
    glVertex2f(0.0f, 0.5f);
    glEnd();
    glRectf(-0.25f, -0.5f, 0.25f, 0.0f);
    glPopMatrix();
}

void triangle(float x0, float y0, float x1, float y1, float x2, float y2) {
    glBegin(GL_TRIANGLES);
    glVertex2f(x0, y0);
    glVertex2f(x1, y1);
    glVertex2f(x2, y2);
    glEnd();
}

} // namespace

// --- camera ------------------------------------------------------------------

WindowButtonSceneRotater::WindowButtonSceneRotater(Scene* scene, int direction)
    : WindowButton(1), scene(scene), direction(direction) {}

bool WindowButtonSceneRotater::mouseButton(int button, int state, int, int, int) {
    Camera& camera = scene->view();
    if (leftPress(button, state)) {
        const Vector3 f = camera.getTarget() - camera.getEye();
        const Vector3 u = camera.getUpPoint() - camera.getEye();
        // Upside down, turning left and right swap their senses.
        const float upright = u.y >= 0.0f ? 1.0f : -1.0f;
        switch (direction) {
        case 0: camera.setRotation(-kSpeed, cross(f, u)); break;
        case 1: camera.setRotation(kSpeed, cross(f, u)); break;
        case 2: camera.setRotation(-kSpeed * upright, Vector3(0.0f, 1.0f, 0.0f)); break;
        case 3: camera.setRotation(kSpeed * upright, Vector3(0.0f, 1.0f, 0.0f)); break;
        default: break;
        }
    } else if (leftRelease(button, state)) {
        camera.setRotation(0.0f, Vector3());
    }
    return true;
}

void WindowButtonSceneRotater::drawButton() {
    glColor3f(0.0f, 1.0f, 0.0f);
    drawArrow(direction);
}

WindowButtonSceneSlider::WindowButtonSceneSlider(Scene* scene, int direction)
    : WindowButton(1), scene(scene), direction(direction) {}

bool WindowButtonSceneSlider::mouseButton(int button, int state, int, int, int) {
    // The camera follows the selected object while the machine runs.
    if (scene->isRunning() && scene->getSelected())
        return true;
    Camera& camera = scene->view();
    if (leftPress(button, state)) {
        Vector3 u = camera.getUpPoint() - camera.getEye();
        Vector3 f = camera.getTarget() - camera.getEye();
        // Faster the farther away, so a slide takes as long at every distance.
        const float speed = kSpeedPerDistance * length(f);
        u.normalize();
        f.normalize();
        const Vector3 left = cross(u, f);
        Vector3 velocity;
        switch (direction) {
        case 0: velocity = u * speed; break;
        case 1: velocity = -u * speed; break;
        case 2: velocity = left * speed; break;
        case 3: velocity = -left * speed; break;
        default: break;
        }
        camera.setSlideVelocity(velocity);
    } else if (leftRelease(button, state)) {
        camera.setSlideVelocity(Vector3());
    }
    return true;
}

void WindowButtonSceneSlider::drawButton() {
    glColor3f(1.0f, 0.0f, 0.0f);
    drawArrow(direction);
}

WindowButtonSceneZoomer::WindowButtonSceneZoomer(Scene* scene, int direction)
    : WindowButton(1), scene(scene), direction(direction) {}

bool WindowButtonSceneZoomer::mouseButton(int button, int state, int, int, int) {
    Camera& camera = scene->view();
    if (leftPress(button, state))
        camera.setZoomSpeed(direction == 0 ? kSpeed : -kSpeed);
    else if (leftRelease(button, state))
        camera.setZoomSpeed(0.0f);
    return true;
}

void WindowButtonSceneZoomer::drawButton() {
    glColor3f(0.1f, 0.1f, 1.0f);
    if (direction == 0)
        glRectf(-0.15f, -0.7f, 0.15f, 0.7f);
    glRectf(-0.7f, -0.15f, 0.7f, 0.15f);
}

ButtonResetCamera::ButtonResetCamera(Scene* scene) : WindowButton(1), scene(scene) {}

bool ButtonResetCamera::mouseButton(int, int, int, int, int) {
    scene->view().reset();
    return true;
}

void ButtonResetCamera::drawButton() {
    glColor3f(0.5f, 0.5f, 0.5f);
    glPushMatrix();
    glRotatef(45.0f, 0.0f, 0.0f, 1.0f);
    glRectf(-0.1f, -0.5f, 0.1f, 0.5f);
    glRotatef(90.0f, 0.0f, 0.0f, 1.0f);
    glRectf(-0.1f, -0.5f, 0.1f, 0.5f);
    glPopMatrix();
}

SceneOverviewButton::SceneOverviewButton(Scene* scene) : WindowButton(1), scene(scene) {}

bool SceneOverviewButton::mouseButton(int button, int state, int, int, int) {
    if (leftPress(button, state))
        scene->setOverview(!scene->isOverview());
    return true;
}

void SceneOverviewButton::drawButton() {
    const bool on = scene->isOverview();
    glColor3f(on ? 0.1f : 0.5f, on ? 0.9f : 0.5f, on ? 0.9f : 0.5f);
    glRectf(-0.5f, -0.5f, 0.5f, 0.5f);
    glColor3f(0.1f, 0.1f, 0.1f);
    glRectf(-0.35f, -0.35f, 0.35f, 0.35f);
    glColor3f(on ? 0.1f : 0.5f, on ? 0.9f : 0.5f, on ? 0.9f : 0.5f);
    glRectf(-0.15f, -0.15f, 0.15f, 0.15f);
}

// --- machine -----------------------------------------------------------------

SceneStartButton::SceneStartButton(Scene* scene) : WindowButton(1), scene(scene) {}

bool SceneStartButton::mouseButton(int button, int state, int, int, int) {
    if (!leftPress(button, state))
        return true;
    if (!scene->isRunning())
        scene->setRunning(true);
    else
        scene->setPaused(!scene->isPaused());
    return true;
}

void SceneStartButton::drawButton() {
    if (scene->isRunning() && !scene->isPaused()) {
        glColor3f(0.1f, 0.9f, 0.9f);
        glRectf(-0.5f, -0.5f, -1.0f / 6.0f, 0.5f);
        glRectf(1.0f / 6.0f, -0.5f, 0.5f, 0.5f);
    } else {
        glColor3f(0.0f, 0.9f, 0.0f);
        triangle(-0.5f, -0.5f, 0.5f, 0.0f, -0.5f, 0.5f);
    }
}

SceneStopButton::SceneStopButton(Scene* scene) : WindowButton(1), scene(scene) {}

bool SceneStopButton::mouseButton(int button, int state, int, int, int) {
    if (leftPress(button, state) && scene->isRunning())
        scene->setRunning(false);
    return true;
}

void SceneStopButton::drawButton() {
    if (scene->isRunning())
        glColor3f(0.9f, 0.0f, 0.0f);
    else
        glColor3f(0.3f, 0.3f, 0.3f);
    glRectf(-0.5f, -0.5f, 0.5f, 0.5f);
}

SceneFastForwardButton::SceneFastForwardButton(Scene* scene) : WindowButton(1), scene(scene) {}

bool SceneFastForwardButton::mouseButton(int button, int state, int, int, int) {
    if (button == GLUT_LEFT_BUTTON && scene->isRunning()) {
        if (state == GLUT_DOWN)
            scene->machine().setFastForward(true);
        else if (state == GLUT_UP)
            scene->machine().setFastForward(false);
    }
    return true;
}

void SceneFastForwardButton::drawButton() {
    const bool running = scene->isRunning();
    const bool fast = running && scene->isFastForward();
    if (!running)
        glColor3f(0.3f, 0.3f, 0.3f);
    else if (fast)
        glColor3f(0.3f, 0.3f, 0.9f);
    else
        glColor3f(0.9f, 0.9f, 0.1f);
    if (fast) {
        triangle(-0.5f, -0.5f, 0.5f, 0.0f, -0.5f, 0.5f);
    } else {
        triangle(-0.5f, -0.5f, 0.0f, 0.0f, -0.5f, 0.5f);
        triangle(0.0f, -0.5f, 0.5f, 0.0f, 0.0f, 0.5f);
    }
}

// --- placement ---------------------------------------------------------------

void addSceneButtons(Scene& scene) {
    using NSWindow::ItemLayout;
    auto add = [&scene](NSWindow::WindowItem* button, const ItemLayout& layout) {
        scene.addChild(button);
        button->setLayout(layout);
    };
    // y counts upward from the bottom edge of the view.
    add(new WindowButtonSceneRotater(&scene, 0), ItemLayout(-15, -50, 30, 30, 2, 3));
    add(new WindowButtonSceneRotater(&scene, 1), ItemLayout(-15, 20, 30, 30, 2, 1));
    add(new WindowButtonSceneRotater(&scene, 2), ItemLayout(20, -15, 30, 30, 1, 2));
    add(new WindowButtonSceneRotater(&scene, 3), ItemLayout(-50, -15, 30, 30, 3, 2));
    add(new SceneStartButton(&scene), ItemLayout(15, 13, 25, 25));
    add(new SceneStopButton(&scene), ItemLayout(50, 13, 25, 25));
    add(new SceneFastForwardButton(&scene), ItemLayout(85, 13, 25, 25));
    add(new WindowButtonSceneSlider(&scene, 0), ItemLayout(-40, 90, 30, 30, 3, 1));
    add(new WindowButtonSceneSlider(&scene, 1), ItemLayout(-40, 50, 30, 30, 3, 1));
    add(new WindowButtonSceneSlider(&scene, 2), ItemLayout(-120, 10, 30, 30, 3, 1));
    add(new WindowButtonSceneSlider(&scene, 3), ItemLayout(-80, 10, 30, 30, 3, 1));
    add(new WindowButtonSceneZoomer(&scene, 0), ItemLayout(-80, 70, 30, 30, 3, 1));
    add(new WindowButtonSceneZoomer(&scene, 1), ItemLayout(-120, 70, 30, 30, 3, 1));
    add(new ButtonResetCamera(&scene), ItemLayout(-40, 10, 30, 30, 3, 1));
    add(new SceneOverviewButton(&scene), ItemLayout(-40, -40, 30, 30, 3, 3));
}

} // namespace NSScene
