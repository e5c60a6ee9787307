// The scene view's input: picking under the pointer, CTRL+click
// placement, the mouse buttons, drags, hovering and the view's keys.
#include "scene/Scene.h"

#include <GL/freeglut.h>
#include <GL/glu.h>

#include <algorithm>
#include <utility>
#include <vector>

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
    const NSWindow::ItemLayout& a = screenArea;
    if (a.width <= 0 || a.height <= 0)
        return nullptr;
    // Picking draws the scene once more; the counts stay those of the frame.
    const unsigned frameCulled = culledCount;
    const unsigned frameDrawn = drawnCount;

    // Mesa's software renderers keep every vertex buffer drawn from under
    // GL_SELECT (immediate mode, display lists), or pending when the render
    // mode changes: half a megabyte a pick in a level, a megabyte and a half
    // a start of the machine. So drawing ends before, only what may lie
    // under the pointer is drawn (culled against the pick's own view
    // volume), models and boxes from arrays in the program's memory (which
    // cost nothing) and outlines not at all.
    glFinish();
    glSelectBuffer(kSelectBufferSize, selectBuffer.data());
    glRenderMode(GL_SELECT);
    glInitNames();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // The pointer's whole unit of the interface, in pixels (at a scale
    // above 1 a unit is several pixels wide).
    const NSWindow::ItemLayout p = NSWindow::toPixels(a);
    const NSWindow::ItemLayout unit = NSWindow::toPixels(NSWindow::ItemLayout(a.x + x, a.y + y, 1, 1));
    GLint viewport[4] = {p.x, p.y, p.width, p.height};
    gluPickMatrix(unit.x + unit.width * 0.5, unit.y + unit.height * 0.5, unit.width, unit.height, viewport);
    perspective(a);
    begin3D(true);
    view().apply();
    rebuildFrustum();
    picking = true;
    drawContent();
    picking = false;
    const GLint hits = glRenderMode(GL_RENDER);
    begin3D(false);
    view().apply();
    rebuildFrustum();

    culledCount = frameCulled;
    drawnCount = frameDrawn;
    pickedHits = hits < 0 ? 0 : hits;
    if (hits < 0) {
        log(LOG_ERROR, "getSelectHit: select buffer overflow\n");
        return nullptr;
    }
    const GLuint* nearest = nullptr;
    const GLuint* record = selectBuffer.data();
    for (GLint i = 0; i < hits; ++i) {
        if (!nearest || record[1] < nearest[1])
            nearest = record;
        record += 3 + record[0];
    }
    return nearest;
}

NodeGraphic* Scene::nodeAt(const GLuint* record) const {
    if (!record || record[0] == 0)
        return nullptr;
    return dynamic_cast<NodeGraphic*>(findNode(static_cast<int>(record[3])));
}

NodeGraphic* Scene::clickedSelection() const {
    std::vector<std::pair<GLuint, NodeGraphic*>> under; // (depth, object) of one-name records
    const GLuint* record = selectBuffer.data();
    for (int i = 0; i < pickedHits; ++i, record += 3 + record[0])
        if (NodeGraphic* node = record[0] == 1 ? nodeAt(record) : nullptr)
            under.emplace_back(record[1], node);
    std::stable_sort(under.begin(), under.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<NodeGraphic*> order; // each object once, nearest first
    for (const auto& u : under)
        if (std::find(order.begin(), order.end(), u.second) == order.end())
            order.push_back(u.second);
    auto at = std::find(order.begin(), order.end(), selected);
    if (at == order.end())
        return order.empty() ? selected : order.front();
    return ++at == order.end() ? nullptr : *at;
}

void Scene::selectClicked() {
    NodeGraphic* node = clickedSelection();
    if (node == selected)
        return;
    if (selected)
        selected->setSelected(false);
    selected = node;
    if (node)
        node->setSelected(true);
    logSelection(selected);
}

bool Scene::surfacePoint(int x, int y, NodeTransform* node, Vector3& point) {
    const NSWindow::ItemLayout& a = screenArea;
    if (a.width <= 0 || a.height <= 0)
        return false;
    GLfloat depth = 1.0f;
    const NSWindow::ItemLayout unit = NSWindow::toPixels(NSWindow::ItemLayout(a.x + x, a.y + y, 1, 1));
    const double px0 = unit.x + unit.width * 0.5, py0 = unit.y + unit.height * 0.5;
    glReadPixels(static_cast<GLint>(px0), static_cast<GLint>(py0), 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    // The far plane: nothing was drawn at that pixel.
    if (!(depth < 1.0f))
        return false;
    begin3D(false);
    view().apply();
    if (node && node->getParent())
        glMultMatrixf(node->getParent()->worldMatrix().data());
    GLdouble modelview[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    GLdouble px, py, pz;
    if (!gluUnProject(px0, py0, depth, modelview, projection, viewport, &px, &py, &pz))
        return false;
    point = Vector3(static_cast<float>(px), static_cast<float>(py), static_cast<float>(pz));
    return true;
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
    const unsigned frameCulled = culledCount;
    const unsigned frameDrawn = drawnCount;
    handlesHidden = true;
    drawContent();
    handlesHidden = false;
    culledCount = frameCulled;
    drawnCount = frameDrawn;
    glPopAttrib();
}

void Scene::placeSelectedAt(int x, int y) {
    if (!selected || running)
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
    if (!surfacePoint(x, y, selected, surface))
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
    endGizmoDrag();
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
        startGizmoDrag(record, x, y);
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
        if (!running && translating) {
            dragTranslation(x, y);
        } else if (!running && rotating) {
            dragRotation(x, y);
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
    if (NodeGraphic* next = hovered && record[0] == 1 ? clickedSelection() : nullptr)
        hovered = next; // what a click selects
    if (hovered)
        hovered->setHighlighted(true);
    const int overHandle = (hovered && record[0] >= 2) ? static_cast<int>(record[4]) : 0;
    if (overHandle != hoveredGizmo)
        log(LOG_MOUSE, "Scene: pointer over handle %d\n", overHandle);
    hoveredGizmo = overHandle;
    return true;
}

void Scene::pointerLeft() {
    WindowItem::pointerLeft();
    if (hovered)
        hovered->setHighlighted(false);
    hovered = nullptr;
    hoveredGizmo = 0;
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
        trace.setShown(!trace.isShown());
        popUp(trace.isShown() ? "Trace of the last run shown" : "Trace of the last run hidden");
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
        if (selected && !running && NSMenu::isDesignerEditing()) {
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
