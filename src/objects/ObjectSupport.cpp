#include "objects/ObjectSupport.h"

#include <GL/gl.h>

#include <utility>
#include <vector>

#include "editable/EditorMode.h"
#include "resources/ModelObject.h"

namespace NSObjects {

void applyLook(NSNode::NodeGraphic& node, const char* name, const char* modelFile, const char* picture) {
    node.setName(name);
    node.setModel(NSNode::NodeGraphic::MODEL_MD2, modelFile, "");
    node.setPicture(picture);
}

void freezeModel(NSNode::NodeGraphic& node) {
    if (NSGraphic::ModelObject* model = node.getModel())
        model->setCompiled(true);
}

NSMenu::MenuEntry floatEntry(NSMenu::MenuConfigureable* owner, const std::string& label, unsigned kind, float value,
                             float min, float max, bool enabled) {
    auto* range = new NSMenu::ValueConstraintRange(static_cast<int>(std::floor(min)),
                                                   static_cast<int>(std::ceil(max)), min, max);
    return NSMenu::MenuEntry(owner, label, NSMenu::TYPE_FLOAT, kind, NSMenu::Value::ofFloat(value), enabled, range);
}

NSMenu::MenuEntry boolEntry(NSMenu::MenuConfigureable* owner, const std::string& label, bool value) {
    return NSMenu::MenuEntry(owner, label, NSMenu::TYPE_BOOL, NSMenu::KIND_BOOL, NSMenu::Value::ofBool(value), true);
}

void appendIfEditable(std::vector<NSMenu::MenuEntry>& list, bool detailed, bool editable, NSMenu::MenuEntry line) {
    if (detailed || editable)
        list.push_back(std::move(line));
}

bool pushPickName(const NSNode::NodeGraphic& node) {
    const NSNode::NodeGraphic* picked = node.pickTarget();
    if (!picked)
        return false;
    glPushName(static_cast<GLuint>(picked->getId()));
    return true;
}

void popPickName(bool pushed) {
    if (pushed)
        glPopName();
}

ShapeMaterial::ShapeMaterial(NSNode::NodeGraphic& node) {
    glPushAttrib(GL_CURRENT_BIT | GL_LIGHTING_BIT | GL_ENABLE_BIT);
    // Shapes are plain coloured: a texture left switched on by a model or a
    // menu picture would paint them with its texels.
    glDisable(GL_TEXTURE_2D);
    node.applyMaterial(false, 0.0f, 0.0f, 0.0f);
}

ShapeMaterial::~ShapeMaterial() {
    glPopAttrib();
    syncColourMaterial();
}


void drawBoxFaces(const Vector3& half, bool inward, int divisions) {
    if (divisions < 1)
        divisions = 1;
    const float h[3] = {half.x, half.y, half.z};
    const float sign = inward ? -1.0f : 1.0f;
    // One call from arrays: a room's finely cut walls are thousands of
    // corners, and drawn one by one (immediate mode) while picking they
    // cost Mesa's software renderers memory that is never given back.
    std::vector<float> points, normals;
    points.reserve(static_cast<size_t>(6 * divisions * divisions * 12));
    normals.reserve(points.capacity());
    for (int axis = 0; axis < 3; ++axis) {
        // u, v span the face so that u x v points along +axis.
        const int u = (axis + 1) % 3;
        const int v = (axis + 2) % 3;
        for (int side = -1; side <= 1; side += 2) {
            // The face's normal; the corner order keeps it counter-clockwise
            // seen from the side the normal points to.
            const float facing = static_cast<float>(side) * sign;
            float n[3] = {0.0f, 0.0f, 0.0f};
            n[axis] = facing;
            for (int i = 0; i < divisions; ++i) {
                for (int j = 0; j < divisions; ++j) {
                    const float u0 = -h[u] + 2.0f * h[u] * static_cast<float>(i) / static_cast<float>(divisions);
                    const float u1 = -h[u] + 2.0f * h[u] * static_cast<float>(i + 1) / static_cast<float>(divisions);
                    const float v0 = -h[v] + 2.0f * h[v] * static_cast<float>(j) / static_cast<float>(divisions);
                    const float v1 = -h[v] + 2.0f * h[v] * static_cast<float>(j + 1) / static_cast<float>(divisions);
                    const float corners[4][2] = {{u0, v0}, {u1, v0}, {u1, v1}, {u0, v1}};
                    for (int c = 0; c < 4; ++c) {
                        const int k = facing > 0.0f ? c : 3 - c;
                        float p[3];
                        p[axis] = static_cast<float>(side) * h[axis];
                        p[u] = corners[k][0];
                        p[v] = corners[k][1];
                        points.insert(points.end(), p, p + 3);
                        normals.insert(normals.end(), n, n + 3);
                    }
                }
            }
        }
    }
    glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, points.data());
    glNormalPointer(GL_FLOAT, 0, normals.data());
    glDrawArrays(GL_QUADS, 0, static_cast<GLsizei>(points.size() / 3));
    glPopClientAttrib();
}

} // namespace NSObjects
