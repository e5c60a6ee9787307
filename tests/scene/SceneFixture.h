#pragma once
#include <gtest/gtest.h>

#include <GL/freeglut.h>
#include <GL/glu.h>
#include <unistd.h>

#include "editable/EditorMode.h"
#include "scene/Scene.h"
#include "scenegraph/BoundingVolume.h"
#include "objects/NodeGraphic.h"
#include "support/GameFolder.h"
#include "support/GlContext.h"

namespace qbntest {

using NSNode::BoundingVolume;
using NSNode::NodeGraphic;
using NSNode::NodeTransform;
using NSScene::Scene;

// A 400 x 300 view looking at the origin from +z, in a scratch working folder with "levels/" and the
// game's models; helpers add objects, draw a frame and click where a world point shows.
class SceneGl : public GlTest {
protected:
    GameFolder folder; // first in, last out
    void SetUp() override {
        GlTest::SetUp();
        NSMenu::setDesignerEditing(false);
        scene.setLayout(NSWindow::ItemLayout(0, 0, 400, 300));
        look(Vector3(0, 0, 150), Vector3());
    }
    void TearDown() override {
        NSMenu::setDesignerEditing(false);
    }

    void look(const Vector3& eye, const Vector3& target) {
        scene.getCamera().setPosition(eye);
        scene.getCamera().setTarget(target);
        scene.getCamera().update(0.0f);
    }
    // A selectable object; without a model only its handles show.
    NodeGraphic* blob(const Vector3& at, BoundingVolume* volume, const char* model = nullptr) {
        auto* node = new NodeGraphic(true);
        if (model) {
            node->setModel(NodeGraphic::MODEL_MD2, model, "");
            node->setEditPosition(true, true, true);
        }
        node->setPosition(at);
        node->setBoundingVolume(volume);
        node->setSelectable(true);
        node->registerForHits();
        scene.addObject(node);
        scene.step(0.0f, 0.0f);
        return node;
    }
    NodeGraphic* ball(const Vector3& at) { return blob(at, BoundingVolume::makeSphereVolume(Vector3(), 11.5f), "basketball.md2"); }
    NodeGraphic* board(const Vector3& at) {
        return blob(at, BoundingVolume::makeBoxVolume(Vector3(0, -1.5f, 0), Vector3(60, 3, 60)), "brett3.md2");
    }
    void frame() {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        scene.draw();
    }
    // Where a world point shows in the view's own coordinates (in pixels).
    void viewPoint(const Vector3& p, int& x, int& y) {
        GLdouble wx, wy;
        viewPoint(p, wx, wy);
        x = static_cast<int>(wx);
        y = static_cast<int>(wy);
    }
    void viewPoint(const Vector3& p, GLdouble& wx, GLdouble& wy) {
        scene.begin3D(false);
        scene.getCamera().apply();
        GLdouble mv[16], pr[16], wz;
        GLint vp[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, mv);
        glGetDoublev(GL_PROJECTION_MATRIX, pr);
        glGetIntegerv(GL_VIEWPORT, vp);
        gluProject(p.x, p.y, p.z, mv, pr, vp, &wx, &wy, &wz);
    }
    void click(const Vector3& p, int modifiers = 0) {
        int x, y;
        viewPoint(p, x, y);
        clickAt(x, y, modifiers);
    }
    // The handle (second pick name) under a world point, 0 for none, -1 for nothing.
    int handleAt(const Vector3& p) {
        int x, y;
        viewPoint(p, x, y);
        const GLuint* record = scene.pick(x, y);
        if (!record)
            return -1;
        return record[0] >= 2 ? static_cast<int>(record[4]) : 0;
    }
    void press(const Vector3& p, int& x, int& y) {
        viewPoint(p, x, y);
        scene.mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, x, y);
    }
    void clickAt(int x, int y, int modifiers = 0) {
        scene.mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, modifiers, x, y);
        scene.mouseButton(GLUT_LEFT_BUTTON, GLUT_UP, modifiers, x, y);
    }

    Scene scene;
};

} // namespace qbntest
