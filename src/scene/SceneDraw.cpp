// The scene view's drawing: the frame, the frustum culling, the default
// light and the coordinate cross, the distance-sorted transparent pass, and
// the trace of the last run.
#include "scene/Scene.h"

#include <GL/gl.h>

#include "scene/SceneSupport.h"

using NSNode::BoundingVolume;
using NSNode::NodeGraphic;
using NSNode::NodeTransform;

namespace NSScene {

namespace {

constexpr float kCrossHalfLength = 10.0f;

} // namespace

void Scene::begin3D(bool keepProjection) {
    const NSWindow::ItemLayout& a = screenArea;
    NSWindow::setViewportOver(a);
    glMatrixMode(GL_PROJECTION);
    if (!keepProjection) {
        glLoadIdentity();
        perspective(a);
    }
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void Scene::draw() {
    glPushAttrib(GL_ENABLE_BIT);
    glEnable(GL_DEPTH_TEST);
    begin3D(false);
    view().apply();
    rebuildFrustum();
    if (defaultLight)
        applyDefaultLight();
    if (showCoordinateCross)
        drawCoordinateCross();
    startWhite();
    culledCount = 0;
    drawnCount = 0;
    drawContent();
    if (!running && trace.isShown())
        trace.draw();
    glPopAttrib();

    const unsigned met = culledCount + drawnCount;
    culledShare = met ? static_cast<float>(culledCount) / static_cast<float>(met) : 0.0f;
    WindowItem::draw();
}

// The six planes of the view volume from projection x modelview, normals
// pointing inside: row 3 plus or minus rows 0 (left, right), 1 (bottom,
// top) and 2 (near, far).
void Scene::rebuildFrustum() {
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

// The 2D items change the colour while the material tracks it, and restore
// only the colour afterwards; so the material may lag behind the current
// colour. Every frame starts from white for both.
void Scene::startWhite() const {
    const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glColor3f(1.0f, 1.0f, 1.0f);
    if (!glIsEnabled(GL_COLOR_MATERIAL))
        return;
    glDisable(GL_COLOR_MATERIAL);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, white);
    glEnable(GL_COLOR_MATERIAL);
}

void Scene::applyDefaultLight() const {
    const GLfloat direction[4] = {0.4f, 1.0f, 0.7f, 0.0f};
    const GLfloat ambient[4] = {0.35f, 0.35f, 0.35f, 1.0f};
    const GLfloat diffuse[4] = {0.9f, 0.9f, 0.9f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, direction);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glEnable(GL_LIGHT0);
}

void Scene::drawCoordinateCross() const {
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glLineWidth(1.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    const Vector3& t = view().getTarget();
    const float h = kCrossHalfLength;
    glBegin(GL_LINES);
    glVertex3f(t.x - h, t.y, t.z);
    glVertex3f(t.x + h, t.y, t.z);
    glVertex3f(t.x, t.y - h, t.z);
    glVertex3f(t.x, t.y + h, t.z);
    glVertex3f(t.x, t.y, t.z - h);
    glVertex3f(t.x, t.y, t.z + h);
    glEnd();
    glPopAttrib();
}

void Scene::drawContent() {
    deferred.clear();
    glPushMatrix();
    root->draw();
    glPopMatrix();
    if (selected && !running && !handlesHidden) {
        drawDropLine();
        drawGizmos();
    }
    if (deferred.empty())
        return;

    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_POLYGON_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT);
    glEnable(GL_LIGHTING);
    if (transparency)
        glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glPushMatrix();
    // Deferred nodes below a deferred node are drawn with their parent.
    world_.setDrawers(this, nullptr);
    for (auto it = deferred.rbegin(); it != deferred.rend(); ++it) {
        glLoadIdentity();
        glMultMatrixf(it->second.modelview.data());
        it->second.node->draw();
    }
    world_.setDrawers(this, this);
    glPopMatrix();
    glPopAttrib();
}

// The current modelview is the frame of node's parent, so the node's own
// position in it, taken to eye space, gives its distance from the eye.
void Scene::addDeferred(NodeTransform* node) {
    if (!node)
        return;
    Matrix4 modelview;
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview.data());
    const float distance = length(modelview.transformPoint(node->getPosition()));
    deferred.emplace(distance, DeferredEntry{modelview, node});
}

bool Scene::cullTest(NodeTransform* node) {
    BoundingVolume* volume = node ? node->getBoundingVolume() : nullptr;
    if (culling && frustum[0] && volume && !volume->isUnbounded()) {
        volume->setTransform(node->worldMatrix());
        const BoundingVolume::Sphere& sphere = volume->getOuterSphere();
        for (const auto& plane : frustum) {
            if (plane->hitSphere(sphere)) {
                ++culledCount;
                return false;
            }
        }
    }
    ++drawnCount;
    return true;
}

void Scene::drawModel(NodeTransform* drawn) {
    // Only drawable nodes hand themselves over.
    NodeGraphic* node = static_cast<NodeGraphic*>(drawn);
    NSGraphic::ModelObject* model = node ? node->getModel() : nullptr;
    if (!model || !cullTest(node))
        return;
    unsigned flags = 0;
    if (vertexArrays || picking) {
        flags |= NSGraphic::MODEL_DRAW_VERTEX_ARRAYS;
        // GLUT's solid shapes switch the arrays off after drawing.
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
    }
    if (displayLists && !picking)
        flags |= NSGraphic::MODEL_DRAW_DISPLAY_LIST;
    model->draw(flags, minFilter, magFilter);
}

} // namespace NSScene
