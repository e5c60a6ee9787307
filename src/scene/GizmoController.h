#pragma once
// The handles around the selection: three arrows that move it along the
// axes of its parent's frame and three rings that turn it about its own,
// and the drags on them, which stop where the object would touch another.
// The handles are shared by every view and made on first use; they are
// placed, sized and coloured whenever the view draws.
#include <memory>

#include <GL/gl.h>

#include "math/Matrix4.h"
#include "math/Vector3.h"
#include "scene/SightLine.h"
#include "ui/WindowItem.h"

class TranslatePfeil;
class RotateTorus;

namespace NSNode {
class NodeGraphic;
class DeferredDrawSink;
} // namespace NSNode

namespace NSScene {

class Camera;

class GizmoController {
public:
    // Pick names of the handles (a record's second name): arrows 1 to 3,
    // rings 4 to 6.
    static constexpr int kFirstArrow = 1;
    static constexpr int kFirstRing = 4;

    GizmoController();
    ~GizmoController();

    // The arrows along and the rings about X, Y and Z (axis 0 to 2).
    TranslatePfeil* arrow(int axis);
    RotateTorus* ring(int axis);

    // The handle under the pointer (its pick name; 0 for none), lit.
    void hover(int part);
    // The handle's object went: nothing is lit, and nothing logged.
    void forgetHover() { hoveredPart = 0; }
    int hovered() const { return hoveredPart; }
    // Whether a handle drag is moving or turning the selection.
    bool isTranslating() const { return translating; }
    bool isRotating() const { return rotating; }

    // Puts the handles of selected into the transparent pass of sink, sized
    // for a view from eye; held (a mouse button is down) lights the hovered
    // one yellow instead of cyan.
    void draw(NSNode::NodeGraphic& selected, const Vector3& eye, bool held, NSNode::DeferredDrawSink& sink);
    // A press at (x, y) of a view over area on the handle of record: a drag
    // of node starts, unless the handle is another object's or for an axis
    // the node may not use.
    void start(const GLuint* record, int x, int y, NSNode::NodeGraphic* node, const Camera& view,
               const NSWindow::ItemLayout& area);
    // The pointer dragged to (x, y): node follows the handle held.
    void drag(int x, int y, NSNode::NodeGraphic* node, const Camera& view, const NSWindow::ItemLayout& area);
    // The drag ends; node's new place goes to the log.
    void end(const NSNode::NodeGraphic* node);
    // The drag ends silently (the selection changed or went).
    void cancel();

private:
    struct HandleSet;
    HandleSet& handles();
    void dragTranslation(int x, int y, NSNode::NodeGraphic* node, const Camera& view, const NSWindow::ItemLayout& area);
    void dragRotation(int x, int y, NSNode::NodeGraphic* node);

    std::unique_ptr<HandleSet> handleSet;
    int hoveredPart = 0;
    Vector3 translateScreenAxis;
    Vector3 translateWorldAxis;
    int translateStartX = 0;
    int translateStartY = 0;
    Vector3 translateStartPosition;
    // Where the drag last left the object free of contact.
    Vector3 translateLastFree;
    // The arrow's line in the world (through the object's place at the
    // press), where on it the pointer took hold, how far the pointer has
    // carried it since; whether the pointer can follow the line, and if not
    // (it points nearly at the eye) the size of a unit of the view there.
    Vector3 translateLineStart;
    Vector3 translateLineAxis;
    float translateGrab = 0.0f;
    float translateAmount = 0.0f;
    bool translateFollows = false;
    float translateUnitSize = 0.0f;
    bool translating = false;
    Vector3 rotateScreenDirection;
    Vector3 rotateAxis;
    int rotateStartX = 0;
    int rotateStartY = 0;
    Matrix4 rotateStartMatrix;
    bool rotating = false;
};

} // namespace NSScene
