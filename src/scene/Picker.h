#pragma once
// Picking: what lies under a pixel of the view. A pick draws the view once
// more in OpenGL's selection mode around the pixel and keeps the hit
// records; a record is: name count, minimum depth, maximum depth, names
// (an object's id, then a handle's part for the handles around it).
#include <array>
#include <functional>

#include <GL/gl.h>

#include "math/Vector3.h"
#include "ui/WindowItem.h"

namespace NSNode {
class NodeGraphic;
class NodeTransform;
} // namespace NSNode

namespace NSScene {

class Camera;

class Picker {
public:
    // Entries of the pick buffer.
    static constexpr int kBufferSize = 1024;

    // Picks at the pixel (x, y) of a view over area (in interface units):
    // draw puts up the modelview and draws, under the pick's projection.
    // Returns the nearest record, or null (nothing there, an empty area,
    // which draws nothing, or too many records). A record handed out stays
    // valid until the next pick.
    const GLuint* pick(const NSWindow::ItemLayout& area, int x, int y, const std::function<void()>& draw);
    // The drawable node under root named by the record's first name, or null.
    static NSNode::NodeGraphic* nodeAt(const GLuint* record, NSNode::NodeTransform& root);
    // The selection a click at the last pick leaves: the object behind the
    // selected one among the objects there (nearest first, handles left
    // out), the nearest when the selection is not among them, none after
    // the farthest; the selection as it is when no object is there.
    NSNode::NodeGraphic* clickedSelection(NSNode::NodeTransform& root, NSNode::NodeGraphic* selected) const;
    // The point under the pixel (x, y) of a view over area, seen through
    // view, as last drawn, in the frame of node's parent. False when the
    // pixel shows no surface (background).
    static bool surfacePoint(const NSWindow::ItemLayout& area, const Camera& view, int x, int y,
                             const NSNode::NodeTransform* node, Vector3& point);

private:
    std::array<GLuint, kBufferSize> buffer{};
    int hits = 0;
};

} // namespace NSScene
