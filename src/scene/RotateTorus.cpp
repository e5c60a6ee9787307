#include "scene/RotateTorus.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "math/Matrix4.h"

namespace {

constexpr float kTurn = 6.2831853f;

} // namespace

RotateTorus::RotateTorus() : NodeGraphic(true) { rebuild(); }

void RotateTorus::setRadius(float r) {
    radius = r;
    rebuild();
}

void RotateTorus::setTube(float t) {
    tube = t;
    rebuild();
}

void RotateTorus::rebuild() {
    for (int i = 0; i < kSegments; ++i) {
        const float a = kTurn * static_cast<float>(i) / kSegments;
        segmentOutward[i] = Vector3(std::cos(a), std::sin(a), 0.0f);
        segmentCentre[i] = segmentOutward[i] * radius;
    }
    for (int j = 0; j < kSides; ++j) {
        const float b = kTurn * static_cast<float>(j) / kSides;
        sideOut[j] = std::cos(b);
        sideUp[j] = std::sin(b);
    }
}

void RotateTorus::draw() {
    glPushAttrib(GL_POLYGON_BIT | GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LIGHTING_BIT);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    applyMaterial(false, 0.0f, 0.0f, 0.0f);
    const Vector3& c = getColor();
    glColor4f(c.x, c.y, c.z, 0.5f);

    // The segments, the farthest from the eye first.
    Matrix4 modelview;
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.data());
    std::array<float, kSegments> distance;
    std::array<int, kSegments> order;
    for (int i = 0; i < kSegments; ++i) {
        distance[i] = modelview.transformPoint(segmentCentre[i]).length();
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return distance[a] > distance[b]; });

    const Vector3 axis(0.0f, 0.0f, 1.0f);
    auto corner = [&](int segment, int side) {
        const Vector3 normal = segmentOutward[segment] * sideOut[side] + axis * sideUp[side];
        const Vector3 p = segmentCentre[segment] + normal * tube;
        glNormal3f(normal.x, normal.y, normal.z);
        glVertex3f(p.x, p.y, p.z);
    };
    glPushName(static_cast<GLuint>(nodeId));
    glPushName(static_cast<GLuint>(part));
    for (int i : order) {
        const int next = (i + 1) % kSegments;
        // Along the ring, then around the tube: counter-clockwise seen from
        // outside, so back-face culling keeps the outer faces.
        glBegin(GL_QUADS);
        for (int j = 0; j < kSides; ++j) {
            const int up = (j + 1) % kSides;
            corner(i, j);
            corner(next, j);
            corner(next, up);
            corner(i, up);
        }
        glEnd();
    }
    glPopName();
    glPopName();
    glPopAttrib();
    NSNode::syncColourMaterial();
}
