#include "scene/GizmoController.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>

#include "editable/EditorMode.h"
#include "objects/NodeGraphic.h"
#include "scene/Camera.h"
#include "scene/DragSweep.h"
#include "scene/RotateTorus.h"
#include "scene/SceneSupport.h"
#include "scene/SightLine.h"
#include "scene/TranslatePfeil.h"
#include "shell/Log.h"

using NSNode::BoundingVolume;
using NSNode::NodeGraphic;
using NSNode::NodeTransform;

namespace NSScene {

namespace {

// Handles: their size as a share of the distance from the eye, and how far
// outside the object they sit.
constexpr float kHandleSizePerDistance = 0.1f;
constexpr float kHandleClearance = 1.1f;
// Ring drags: radians turned per unit of the pointer's way.
constexpr float kHandleTurnPerPixel = 0.05f;
constexpr int kFirstArrow = GizmoController::kFirstArrow;
constexpr int kFirstRing = GizmoController::kFirstRing;

const char kAxisName[3] = {'X', 'Y', 'Z'};

Vector3 unitAxis(int axis) {
    return Vector3(axis == 0 ? 1.0f : 0.0f, axis == 1 ? 1.0f : 0.0f, axis == 2 ? 1.0f : 0.0f);
}

// Turns the current matrix so that a handle's local +z runs along axis, at
// distance from the origin.
void placeHandle(int axis, float distance) {
    switch (axis) {
    case 0:
        glTranslatef(distance, 0.0f, 0.0f);
        glRotatef(90.0f, 0.0f, 1.0f, 0.0f);
        break;
    case 1:
        glTranslatef(0.0f, distance, 0.0f);
        glRotatef(-90.0f, 1.0f, 0.0f, 0.0f);
        break;
    default:
        glTranslatef(0.0f, 0.0f, distance);
        break;
    }
}

// The line of sight through the pointer at (x, y) of a view over area.
SightLine pointerSight(const Camera& view, const NSWindow::ItemLayout& area, int x, int y) {
    return sightLine(view, static_cast<float>(area.width), static_cast<float>(area.height),
                     static_cast<float>(x) + 0.5f, static_cast<float>(y) + 0.5f);
}

// Where the world direction d, from the world point at, points on the
// screen, in pixels (x, y) and window depth (z).
Vector3 projectDirection(const Camera& view, const NSWindow::ItemLayout& area, const Vector3& at, const Vector3& d) {
    beginView(area, false);
    view.apply();
    GLdouble modelview[16], projection[16];
    GLint viewport[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    glGetIntegerv(GL_VIEWPORT, viewport);
    const Vector3 to = at + d;
    GLdouble ax = 0, ay = 0, az = 0, bx = 0, by = 0, bz = 0;
    gluProject(at.x, at.y, at.z, modelview, projection, viewport, &ax, &ay, &az);
    gluProject(to.x, to.y, to.z, modelview, projection, viewport, &bx, &by, &bz);
    return Vector3(static_cast<float>(bx - ax), static_cast<float>(by - ay), static_cast<float>(bz - az));
}

} // namespace

// The six handles, made at the first selection drawn.
struct GizmoController::HandleSet {
    HandleSet();
    std::unique_ptr<TranslatePfeil> arrows[3];
    std::unique_ptr<RotateTorus> rings[3];
};

GizmoController::HandleSet::HandleSet() {
    for (int axis = 0; axis < 3; ++axis) {
        arrows[axis] = std::make_unique<TranslatePfeil>();
        arrows[axis]->setPart(kFirstArrow + axis);
        rings[axis] = std::make_unique<RotateTorus>();
        rings[axis]->setPart(kFirstRing + axis);
        for (NodeGraphic* handle :
             {static_cast<NodeGraphic*>(arrows[axis].get()), static_cast<NodeGraphic*>(rings[axis].get())}) {
            handle->setMaterialEnables(true, true, false, false);
            handle->setAmbient(Vector3(0.2f, 0.2f, 0.2f));
            handle->setDiffuse(Vector3(0.7f, 0.7f, 0.7f));
        }
    }
}

GizmoController::GizmoController() = default;

GizmoController::~GizmoController() = default;

GizmoController::HandleSet& GizmoController::handles() {
    if (!handleSet)
        handleSet = std::make_unique<HandleSet>();
    return *handleSet;
}

TranslatePfeil* GizmoController::arrow(int axis) { return (axis >= 0 && axis < 3) ? handles().arrows[axis].get() : nullptr; }

RotateTorus* GizmoController::ring(int axis) { return (axis >= 0 && axis < 3) ? handles().rings[axis].get() : nullptr; }

// The handles keep one size on the screen (a tenth of the distance from the
// eye) and sit just outside the object. Arrows lie in the frame of the
// object's parent, since they move it along its position's axes; rings lie
// in the object's own frame, since they turn it about its own axes.
void GizmoController::draw(NodeGraphic& selected, const Vector3& eye, bool held, NSNode::DeferredDrawSink& sink) {
    HandleSet& set = handles();
    const Vector3 at = selected.worldPosition();
    const float size = kHandleSizePerDistance * length(at - eye);
    float radius = 0.0f;
    if (BoundingVolume* volume = selected.getBoundingVolume()) {
        volume->setTransform(selected.worldMatrix());
        radius = volume->getOuterSphere().getWorldRadius();
    }
    const float distance = kHandleClearance * std::max(size, radius);

    static const Vector3 axisColour[3] = {Vector3(0.5f, 0.0f, 0.0f), Vector3(0.0f, 0.5f, 0.0f),
                                          Vector3(0.0f, 0.0f, 0.5f)};
    const Vector3 highlight = held ? Vector3(1.0f, 1.0f, 0.0f) : Vector3(0.0f, 0.8f, 0.8f);
    const int id = selected.getId();
    for (int axis = 0; axis < 3; ++axis) {
        RotateTorus* ring = set.rings[axis].get();
        ring->setRadius(size);
        ring->setTube(0.1f * size);
        ring->setNodeId(id);
        ring->setColor(hoveredPart == kFirstRing + axis ? highlight : axisColour[axis]);
        TranslatePfeil* arrow = set.arrows[axis].get();
        arrow->setLength(size);
        arrow->setNodeId(id);
        arrow->setColor(hoveredPart == kFirstArrow + axis ? highlight : axisColour[axis]);
    }

    const bool designer = NSMenu::isDesignerEditing();
    glPushMatrix();
    glTranslatef(at.x, at.y, at.z);
    // The arrows turn with the parent, the rings with the object; each
    // handle shows only where the player may use it.
    auto deferHandles = [&](const Matrix4* turn, bool rings) {
        glPushMatrix();
        if (turn)
            glMultMatrixf(turn->data());
        for (int axis = 0; axis < 3; ++axis) {
            if (!designer && !(rings ? selected.canEditRotation(axis) : selected.canEditPosition(axis)))
                continue;
            glPushMatrix();
            placeHandle(axis, distance);
            sink.defer(rings ? static_cast<NodeTransform*>(set.rings[axis].get()) : set.arrows[axis].get());
            glPopMatrix();
        }
        glPopMatrix();
    };
    const NodeTransform* parent = selected.getParent();
    const Matrix4 parentTurn = parent ? parent->worldRotation() : Matrix4();
    const Matrix4 ownTurn = selected.worldRotation();
    deferHandles(parent ? &parentTurn : nullptr, false);
    deferHandles(&ownTurn, true);
    glPopMatrix();
}

// A press on a handle: its second pick name tells which. Handles of another
// object, or for an axis the object may not use, start nothing.
void GizmoController::start(const GLuint* record, int x, int y, NodeGraphic* selected, const Camera& view,
                            const NSWindow::ItemLayout& area) {
    translating = false;
    rotating = false;
    if (!selected || !record || record[0] < 2 || static_cast<int>(record[3]) != selected->getId())
        return;
    const bool designer = NSMenu::isDesignerEditing();
    const int part = static_cast<int>(record[4]);
    if (part >= kFirstArrow && part < kFirstArrow + 3) {
        const int axis = part - kFirstArrow;
        if (!designer && !selected->canEditPosition(axis))
            return;
        // The arrow points along the axis of the parent's frame.
        Vector3 shown = unitAxis(axis);
        if (const NodeTransform* parent = selected->getParent())
            shown = parent->worldRotation().transformPoint(shown);
        const Vector3 at = selected->worldPosition();
        Vector3 onScreen = projectDirection(view, area, at, shown);
        onScreen.z = 0.0f;
        translateScreenAxis = onScreen.normalize();
        translateWorldAxis = unitAxis(axis);
        translateStartX = x;
        translateStartY = y;
        translateStartPosition = selected->getPosition();
        translateLastFree = translateStartPosition;
        translateLineStart = at;
        translateLineAxis = shown.normalize();
        translateAmount = 0.0f;
        const SightLine sight = pointerSight(view, area, x, y);
        translateFollows = closestOnAxis(sight, at, translateLineAxis, translateGrab);
        translateUnitSize = unitSizeAt(static_cast<float>(area.height), dot(at - sight.from, sight.forward));
        translating = true;
        const Vector3& p = translateStartPosition;
        log(LOG_GAME, "Scene: moving %d along %c from (%.2f, %.2f, %.2f)\n", selected->getId(), kAxisName[axis], p.x,
            p.y, p.z);
    } else if (part >= kFirstRing && part < kFirstRing + 3) {
        const int axis = part - kFirstRing;
        if (!designer && !selected->canEditRotation(axis))
            return;
        const Vector3 shown = selected->worldRotation().transformPoint(unitAxis(axis));
        // A diagonal drag turns the object; the sense follows whether the
        // axis points towards the eye or away from it.
        const Vector3 onScreen = projectDirection(view, area, selected->worldPosition(), shown);
        rotateScreenDirection = onScreen.z >= 0.0f ? Vector3(-1.0f, -1.0f, 0.0f) : Vector3(1.0f, 1.0f, 0.0f);
        rotateScreenDirection.normalize();
        rotateAxis = selected->getRotationMatrix().transformPoint(unitAxis(axis));
        rotateStartX = x;
        rotateStartY = y;
        rotateStartMatrix = selected->getRotationMatrix();
        rotating = true;
        log(LOG_GAME, "Scene: turning %d about %c\n", selected->getId(), kAxisName[axis]);
    }
}

void GizmoController::end(const NodeGraphic* selected) {
    if ((translating || rotating) && selected) {
        const Vector3& p = selected->getPosition();
        const Vector3& r = selected->getRotation();
        log(LOG_GAME, "Scene: %d now at (%.2f, %.2f, %.2f), turned (%.3f, %.3f, %.3f)\n", selected->getId(), p.x, p.y,
            p.z, r.x, r.y, r.z);
    }
    cancel();
}

void GizmoController::cancel() {
    translating = false;
    rotating = false;
}

void GizmoController::hover(int part) {
    if (part != hoveredPart)
        log(LOG_MOUSE, "Scene: pointer over handle %d\n", part);
    hoveredPart = part;
}

void GizmoController::drag(int x, int y, NodeGraphic* node, const Camera& view, const NSWindow::ItemLayout& area) {
    if (translating)
        dragTranslation(x, y, node, view, area);
    else if (rotating)
        dragRotation(x, y, node);
}

// The place on the arrow's line that shows under the pointer, measured
// from the press, so the point taken hold of stays under the pointer at any
// size of the view, and dragging back to the press puts the object back
// exactly. Where the pointer has gone past what the line can show (beyond
// its vanishing point) the object stays at the last place it could. An
// arrow pointing nearly at the eye moves by the pointer's way along it on
// the screen, a unit of the view for a unit of the pointer. The object
// sweeps from where it is towards that place and stops at the last place
// free of contact.
void GizmoController::dragTranslation(int x, int y, NodeGraphic* selected, const Camera& view,
                                      const NSWindow::ItemLayout& area) {
    if (!selected) {
        translating = false;
        return;
    }
    float along = 0.0f;
    if (!translateFollows) {
        const Vector3 v(static_cast<float>(x - translateStartX), static_cast<float>(y - translateStartY), 0.0f);
        translateAmount = dot(v, translateScreenAxis) * translateUnitSize;
    } else if (closestOnAxis(pointerSight(view, area, x, y), translateLineStart, translateLineAxis, along)) {
        translateAmount = along - translateGrab;
    }
    if (x == translateStartX && y == translateStartY)
        translateAmount = 0.0f;
    NodeGraphic* node = selected;
    node->setPosition(translateStartPosition);
    node->translate(translateWorldAxis * translateAmount);
    const Vector3 wanted = node->getPosition();
    sweepMove(translateLastFree, wanted, [node](const Vector3& p) { node->setPosition(p); },
              [node]() { return touchesAnother(node); });
    translateLastFree = node->getPosition();
}

// Incremental: the turn sweeps from the last accepted pose and stops at the
// last pose free of contact, which becomes the start of the next step.
void GizmoController::dragRotation(int x, int y, NodeGraphic* selected) {
    if (!selected) {
        rotating = false;
        return;
    }
    const Vector3 v(static_cast<float>(x - rotateStartX), static_cast<float>(y - rotateStartY), 0.0f);
    const float angle = dot(v, rotateScreenDirection) * kHandleTurnPerPixel;
    NodeGraphic* node = selected;
    const Matrix4 start = rotateStartMatrix;
    const Vector3 axis = rotateAxis;
    sweepTurn(
        angle,
        [&](float f) { node->setRotation(zerlegeMatrixinAchsenMatrizen(Matrix4::rotation(-angle * f, axis) * start)); },
        [node]() { return touchesAnother(node); });
    rotateStartMatrix = node->getRotationMatrix();
    rotateStartX = x;
    rotateStartY = y;
}

} // namespace NSScene
