#include "scene/Picker.h"

#include <GL/glu.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "objects/NodeGraphic.h"
#include "scene/Camera.h"
#include "scene/SceneSupport.h"
#include "shell/Log.h"

using NSNode::NodeGraphic;
using NSNode::NodeTransform;

namespace NSScene {

const GLuint* Picker::pick(const NSWindow::ItemLayout& a, int x, int y, const std::function<void()>& draw) {
    if (a.width <= 0 || a.height <= 0)
        return nullptr;
    // Mesa's software renderers keep every vertex buffer drawn from under
    // GL_SELECT (immediate mode, display lists), or pending when the render
    // mode changes: half a megabyte a pick in a level, a megabyte and a half
    // a start of the machine. So drawing ends before, only what may lie
    // under the pointer is drawn (culled against the pick's own view
    // volume), models and boxes from arrays in the program's memory (which
    // cost nothing) and outlines not at all.
    glFinish();
    glSelectBuffer(kBufferSize, buffer.data());
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
    draw();
    const GLint count = glRenderMode(GL_RENDER);
    hits = count < 0 ? 0 : count;
    if (count < 0) {
        log(LOG_ERROR, "getSelectHit: select buffer overflow\n");
        return nullptr;
    }
    const GLuint* nearest = nullptr;
    const GLuint* record = buffer.data();
    for (GLint i = 0; i < count; ++i) {
        if (!nearest || record[1] < nearest[1])
            nearest = record;
        record += 3 + record[0];
    }
    return nearest;
}

NodeGraphic* Picker::nodeAt(const GLuint* record, NodeTransform& root) {
    if (!record || record[0] == 0)
        return nullptr;
    return dynamic_cast<NodeGraphic*>(root.findById(static_cast<int>(record[3])));
}

NodeGraphic* Picker::clickedSelection(NodeTransform& root, NodeGraphic* selected) const {
    std::vector<std::pair<GLuint, NodeGraphic*>> under; // (depth, object) of one-name records
    const GLuint* record = buffer.data();
    for (int i = 0; i < hits; ++i, record += 3 + record[0])
        if (NodeGraphic* node = record[0] == 1 ? nodeAt(record, root) : nullptr)
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

bool Picker::surfacePoint(const NSWindow::ItemLayout& a, const Camera& view, int x, int y, const NodeTransform* node,
                          Vector3& point) {
    if (a.width <= 0 || a.height <= 0)
        return false;
    GLfloat depth = 1.0f;
    const NSWindow::ItemLayout unit = NSWindow::toPixels(NSWindow::ItemLayout(a.x + x, a.y + y, 1, 1));
    const double px0 = unit.x + unit.width * 0.5, py0 = unit.y + unit.height * 0.5;
    glReadPixels(static_cast<GLint>(px0), static_cast<GLint>(py0), 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    // The far plane: nothing was drawn at that pixel.
    if (!(depth < 1.0f))
        return false;
    beginView(a, false);
    view.apply();
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

} // namespace NSScene
