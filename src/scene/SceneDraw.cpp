// The scene view's drawing: the frame, the frustum culling, the default
// light and the coordinate cross, the distance-sorted transparent pass, and
// the trace of the last run.
#include "scene/Scene.h"

#include <GL/gl.h>

#include "scene/SceneSupport.h"

using NSNode::NodeGraphic;
using NSNode::NodeTransform;

namespace NSScene {

namespace {

constexpr float kCrossHalfLength = 10.0f;

// The 2D items change the colour while the material tracks it, and restore
// only the colour afterwards; so the material may lag behind the current
// colour. Every frame starts from white for both.
void startWhite() {
    const GLfloat white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    glColor3f(1.0f, 1.0f, 1.0f);
    if (!glIsEnabled(GL_COLOR_MATERIAL))
        return;
    glDisable(GL_COLOR_MATERIAL);
    glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, white);
    glEnable(GL_COLOR_MATERIAL);
}

void applyDefaultLight() {
    const GLfloat direction[4] = {0.4f, 1.0f, 0.7f, 0.0f};
    const GLfloat ambient[4] = {0.35f, 0.35f, 0.35f, 1.0f};
    const GLfloat diffuse[4] = {0.9f, 0.9f, 0.9f, 1.0f};
    glLightfv(GL_LIGHT0, GL_POSITION, direction);
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glEnable(GL_LIGHT0);
}

void drawCoordinateCross(const Vector3& t) {
    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_2D);
    glLineWidth(1.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
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

} // namespace

void Scene::begin3D(bool keepProjection) { beginView(screenArea, keepProjection); }

void Scene::draw() {
    glPushAttrib(GL_ENABLE_BIT);
    glEnable(GL_DEPTH_TEST);
    begin3D(false);
    view().apply();
    culler.rebuild();
    if (defaultLight)
        applyDefaultLight();
    if (showCoordinateCross)
        drawCoordinateCross(view().getTarget());
    startWhite();
    culler.startFrame();
    drawContent();
    if (!run.isRunning() && run.trace().isShown())
        run.trace().draw();
    glPopAttrib();

    culler.endFrame();
    WindowItem::draw();
}

void Scene::drawContent() {
    deferred.clear();
    glPushMatrix();
    root->draw();
    glPopMatrix();
    if (selected && !run.isRunning() && !handlesHidden) {
        drawDropLine(*selected, root);
        const bool held = leftHeld || rightHeld || middleHeld;
        handles.draw(*selected, view().getEye(), held, *this);
    }
    if (deferred.empty())
        return;

    glPushAttrib(GL_ENABLE_BIT | GL_LIGHTING_BIT | GL_POLYGON_BIT | GL_CURRENT_BIT | GL_COLOR_BUFFER_BIT);
    glEnable(GL_LIGHTING);
    if (render.isTransparency())
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

bool Scene::cullTest(NodeTransform* node) { return culler.test(node, render.isCulling()); }

void Scene::drawModel(NodeTransform* drawn) {
    // Only drawable nodes hand themselves over.
    NodeGraphic* node = static_cast<NodeGraphic*>(drawn);
    NSGraphic::ModelObject* model = node ? node->getModel() : nullptr;
    if (!model || !cullTest(node))
        return;
    unsigned flags = 0;
    if (render.isVertexArrays() || picking) {
        flags |= NSGraphic::MODEL_DRAW_VERTEX_ARRAYS;
        // GLUT's solid shapes switch the arrays off after drawing.
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_NORMAL_ARRAY);
    }
    if (render.isDisplayLists() && !picking)
        flags |= NSGraphic::MODEL_DRAW_DISPLAY_LIST;
    model->draw(flags, render.getMinFilter(), render.getMagFilter());
}

} // namespace NSScene
