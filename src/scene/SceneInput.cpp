// The scene view's input: picking under the pointer, CTRL+click
// placement, the mouse buttons, drags, hovering and the view's keys.
#include "scene/Scene.h"

#include <GL/freeglut.h>

#include "editable/EditorMode.h"
#include "scene/SceneSupport.h"
#include "shell/Log.h"

using NSNode::BoundingVolume;
using NSNode::NodeGraphic;
using NSNode::NodeTransform;

namespace NSScene {

namespace {

// Mouse drags: units of pan and radians of turn per pixel.
constexpr float kPanPerPixel = 0.5f;
constexpr float kTurnPerPixel = 0.01f;
// One wheel notch moves the eye this share of its distance to the target.
constexpr float kWheelZoomShare = 0.1f;
// CTRL+click placement lifts the object a little more on every try.
constexpr int kPlacementTries = 20;
constexpr float kPlacementLift = 0.01f;

constexpr int kKeyEscape = 27;
constexpr int kKeySpace = 32;

} // namespace

const GLuint* Scene::pick(int x, int y) {
    // Picking draws the scene once more; the counts stay those of the frame.
    const ViewCulling::Counts frame = culler.frameCounts();
    bool drawn = false;
    const GLuint* nearest = picker.pick(screenArea, x, y, [this, &drawn] {
        drawn = true;
        begin3D(true);
        view().apply();
        culler.rebuild();
        picking = true;
        drawContent();
        picking = false;
    });
    if (drawn) {
        begin3D(false);
        view().apply();
        culler.rebuild();
        culler.restore(frame);
    }
    return nearest;
}

void Scene::selectClicked() {
    NodeGraphic* node = picker.clickedSelection(*root, selected);
    if (node == selected)
        return;
    if (selected)
        selected->setSelected(false);
    selected = node;
    if (node)
        node->setSelected(true);
    logSelection(selected);
}

void Scene::drawDepthWithoutHandles() {
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_SCISSOR_BIT);
    glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
    glEnable(GL_SCISSOR_TEST);
    const NSWindow::ItemLayout p = NSWindow::toPixels(screenArea);
    glScissor(p.x, p.y, p.width, p.height);
    glClear(GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    begin3D(false);
    view().apply();
    const ViewCulling::Counts frame = culler.frameCounts();
    handlesHidden = true;
    drawContent();
    handlesHidden = false;
    culler.restore(frame);
    glPopAttrib();
}

void Scene::placeSelectedAt(int x, int y) {
    if (!selected || run.isRunning())
        return;
    if (!selected->canEditPosition(-1) && !NSMenu::isDesignerEditing())
        return;
    const GLuint* record = pick(x, y);
    const bool onHandle = record && record[0] >= 2;
    if (!onHandle && nodeAt(record) == selected)
        return;
    // The object's own handles lie over what the player means to click:
    // the depth is drawn again without them.
    if (onHandle)
        drawDepthWithoutHandles();
    Vector3 surface;
    if (!Picker::surfacePoint(screenArea, view(), x, y, selected, surface))
        return;
    const float low = selected->lowestPointOffset();
    const Vector3 before = selected->getPosition();
    for (int i = 0; i < kPlacementTries; ++i) {
        const float k = 1.0f + kPlacementLift * static_cast<float>(i);
        selected->setPosition(surface - Vector3(0.0f, low, 0.0f) * k);
        if (!selected->hitTestAll(Vector3()).hit)
            return;
    }
    selected->setPosition(before);
}

bool Scene::mouseButton(int button, int state, int modifiers, int x, int y) {
    if (button == NSWindow::kWheelUpButton || button == NSWindow::kWheelDownButton) {
        // The wheel zooms: up towards the target, down away from it.
        const float distance = length(view().getTarget() - view().getEye());
        if (state == GLUT_DOWN)
            view().zoom((button == NSWindow::kWheelUpButton ? 1.0f : -1.0f) * kWheelZoomShare * distance);
        return true;
    }
    if (WindowItem::mouseButton(button, state, modifiers, x, y))
        return true;
    lastX = x;
    lastY = y;
    const bool down = state == GLUT_DOWN;
    if (button == GLUT_LEFT_BUTTON)
        leftHeld = down;
    else if (button == GLUT_RIGHT_BUTTON)
        rightHeld = down;
    else if (button == GLUT_MIDDLE_BUTTON)
        middleHeld = down;
    handles.end(selected);
    if (button == GLUT_LEFT_BUTTON && !down && handleClick && pick(x, y))
        selectClicked();
    handleClick = false;
    if (button != GLUT_LEFT_BUTTON || !down)
        return true;

    if (modifiers & GLUT_ACTIVE_CTRL) {
        placeSelectedAt(x, y);
        return true;
    }
    const GLuint* record = pick(x, y);
    if (record && record[0] >= 2) {
        handles.start(record, x, y, run.isRunning() ? nullptr : selected, view(), screenArea);
        handleClick = true;
        return true;
    }
    selectClicked();
    return true;
}

bool Scene::mouseDrag(int modifiers, int x, int y) {
    if (WindowItem::mouseDrag(modifiers, x, y))
        return true;
    const int dx = x - lastX;
    const int dy = y - lastY;
    handleClick = handleClick && dx == 0 && dy == 0;
    Camera& cam = view();
    if (middleHeld) {
        cam.zoom(static_cast<float>(dy));
    } else if (leftHeld) {
        const bool running = run.isRunning();
        if (!running && (handles.isTranslating() || handles.isRotating())) {
            handles.drag(x, y, selected, view(), screenArea);
        } else if (!running || !selected) {
            // While the machine runs the camera follows the selection instead.
            Vector3 f = cam.getTarget() - cam.getEye();
            Vector3 u = cam.getUpPoint() - cam.getEye();
            f.normalize();
            u.normalize();
            cam.slide(u * (-static_cast<float>(dy) * kPanPerPixel));
            cam.slide(cross(f, u) * (-static_cast<float>(dx) * kPanPerPixel));
        }
    } else if (rightHeld) {
        const Vector3 side = cross(cam.getTarget() - cam.getEye(), cam.getUpPoint() - cam.getEye());
        cam.rotate(static_cast<float>(dy) * kTurnPerPixel, side);
        cam.rotate(-static_cast<float>(dx) * kTurnPerPixel, Vector3(0.0f, 1.0f, 0.0f));
    }
    lastX = x;
    lastY = y;
    return true;
}

bool Scene::mouseMove(int buttons, int x, int y) {
    if (WindowItem::mouseMove(buttons, x, y))
        return true;
    const GLuint* record = pick(x, y);
    if (hovered)
        hovered->setHighlighted(false);
    hovered = nodeAt(record);
    if (NodeGraphic* next = hovered && record[0] == 1 ? picker.clickedSelection(*root, selected) : nullptr)
        hovered = next; // what a click selects
    if (hovered)
        hovered->setHighlighted(true);
    handles.hover((hovered && record[0] >= 2) ? static_cast<int>(record[4]) : 0);
    return true;
}

void Scene::pointerLeft() {
    WindowItem::pointerLeft();
    if (hovered)
        hovered->setHighlighted(false);
    hovered = nullptr;
    handles.forgetHover();
}

bool Scene::keyPressed(int key, int modifiers, bool special) {
    if (WindowItem::keyPressed(key, modifiers, special))
        return true;
    if (special)
        return false;
    switch (key) {
    case kKeyEscape:
    case kKeySpace:
        select(nullptr);
        return true;
    case 'f':
        if (selected)
            view().setTarget(selected->worldPosition());
        return true;
    case 't':
        run.trace().setShown(!run.trace().isShown());
        popUp(run.trace().isShown() ? "Trace of the last run shown" : "Trace of the last run hidden");
        return true;
    case 'o':
        setOverview(!overview);
        return true;
    case 'm':
        if (muteToggle)
            popUp(muteToggle() ? "Sound off" : "Sound on");
        return true;
    case 'c':
        showCoordinateCross = !showCoordinateCross;
        popUp(std::string("Kamera-Koordinatenkreuz ") + (showCoordinateCross ? "ein" : "aus"));
        return true;
    case 'n':
        if (selected && !run.isRunning() && NSMenu::isDesignerEditing()) {
            NSClone::Cloneable* copy = selected->clone();
            NodeGraphic* node = dynamic_cast<NodeGraphic*>(copy);
            if (!node) {
                delete copy;
                return true;
            }
            node->setPosition(Vector3());
            root->addChildLater(node);
            select(node);
        }
        return true;
    default:
        return false;
    }
}

} // namespace NSScene
