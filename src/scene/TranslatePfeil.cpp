#include "scene/TranslatePfeil.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <array>

#include "math/Matrix4.h"

namespace {

constexpr int kSlices = 10;
constexpr int kStacks = 10;

} // namespace

TranslatePfeil::TranslatePfeil() : NodeGraphic(true) {}

void TranslatePfeil::draw() {
    const float l = length;
    glPushAttrib(GL_POLYGON_BIT | GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LIGHTING_BIT);
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    applyMaterial(false, 0.0f, 0.0f, 0.0f);
    const Vector3& c = getColor();
    glColor4f(c.x, c.y, c.z, 0.5f);

    // Tail, shaft and head, the farthest from the eye first.
    Matrix4 modelview;
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.data());
    const float reference[3] = {0.125f, 0.5f, 0.875f};
    std::array<float, 3> distance;
    for (int i = 0; i < 3; ++i)
        distance[i] = modelview.transformPoint(Vector3(0.0f, 0.0f, reference[i] * l)).length();
    std::array<int, 3> order = {0, 1, 2};
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return distance[a] > distance[b]; });

    glPushName(static_cast<GLuint>(nodeId));
    glPushName(static_cast<GLuint>(part));
    GLUquadric* quadric = gluNewQuadric();
    gluQuadricNormals(quadric, GLU_SMOOTH);
    for (int piece : order) {
        glPushMatrix();
        switch (piece) {
        case 0: // the tail: a point at 0 widening to the shoulder
            gluCylinder(quadric, 0.0, 0.3 * l, 0.25 * l, kSlices, kStacks);
            glTranslatef(0.0f, 0.0f, 0.25f * l);
            gluDisk(quadric, 0.0, 0.3 * l, kSlices, 1);
            break;
        case 1: // the shaft
            glTranslatef(0.0f, 0.0f, 0.25f * l);
            gluCylinder(quadric, 0.2 * l, 0.2 * l, 0.5 * l, kSlices, kStacks);
            break;
        default: // the head, its base facing back along the shaft
            glTranslatef(0.0f, 0.0f, 0.75f * l);
            gluCylinder(quadric, 0.3 * l, 0.0, 0.25 * l, kSlices, kStacks);
            glRotatef(180.0f, 0.0f, 1.0f, 0.0f);
            gluDisk(quadric, 0.0, 0.3 * l, kSlices, 1);
            break;
        }
        glPopMatrix();
    }
    gluDeleteQuadric(quadric);
    glPopName();
    glPopName();
    glPopAttrib();
    NSNode::syncColourMaterial();
}
