#include "scene/ViewCulling.h"

#include <GL/gl.h>

#include "math/Matrix4.h"
#include "scenegraph/NodeTransform.h"

using NSNode::BoundingVolume;

namespace NSScene {

// The six planes of the view volume from projection x modelview, normals
// pointing inside: row 3 plus or minus rows 0 (left, right), 1 (bottom,
// top) and 2 (near, far).
void ViewCulling::rebuild() {
    Matrix4 projection, modelview;
    glGetFloatv(GL_PROJECTION_MATRIX, projection.data());
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.data());
    const Matrix4 clip = projection * modelview;
    for (int i = 0; i < 6; ++i) {
        const int row = i / 2;
        const float sign = (i % 2 == 0) ? 1.0f : -1.0f;
        frustum[i] = std::make_unique<BoundingVolume::Plane>(
            clip.at(3, 0) + sign * clip.at(row, 0), clip.at(3, 1) + sign * clip.at(row, 1),
            clip.at(3, 2) + sign * clip.at(row, 2), clip.at(3, 3) + sign * clip.at(row, 3), true);
    }
}

bool ViewCulling::test(NSNode::NodeTransform* node, bool enabled) {
    BoundingVolume* volume = node ? node->getBoundingVolume() : nullptr;
    if (enabled && frustum[0] && volume && !volume->isUnbounded()) {
        volume->setTransform(node->worldMatrix());
        const BoundingVolume::Sphere& sphere = volume->getOuterSphere();
        for (const auto& plane : frustum) {
            if (plane->hitSphere(sphere)) {
                ++counts.culled;
                return false;
            }
        }
    }
    ++counts.drawn;
    return true;
}

void ViewCulling::endFrame() {
    const unsigned met = counts.culled + counts.drawn;
    share = met ? static_cast<float>(counts.culled) / static_cast<float>(met) : 0.0f;
}

} // namespace NSScene
