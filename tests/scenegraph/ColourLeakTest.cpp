// The room's walls are lit in the room's own colour, whatever was drawn
// before them in the room: a box, or an object under the pointer's or the
// selection's outline.
#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "editable/EditorMode.h"
#include "objects/ObjectShapes.h"
#include "scenegraph/BoundingVolume.h"
#include "objects/NodeGraphic.h"
#include "support/GlContext.h"

using NSNode::NodeGraphic;

namespace {

class ColourLeakTest : public qbntest::GlTest {
protected:
    void SetUp() override {
        qbntest::GlTest::SetUp();
        NSMenu::setDesignerEditing(false);
        // The lighting the window sets up.
        glEnable(GL_LIGHTING);
        const GLfloat noAmbient[4] = {0.0f, 0.0f, 0.0f, 0.0f};
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, noAmbient);
        glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_TRUE);
        glEnable(GL_COLOR_MATERIAL);
        glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
        glEnable(GL_DEPTH_TEST);
        // Made once there is a context: its lamps set up their GL lights.
        room.reset(new NSObjects::ObjectRoom(100.0f, 100.0f, 100.0f));
    }
    void TearDown() override {
        room.reset();
        for (int i = 0; i < 8; ++i)
            glDisable(static_cast<GLenum>(GL_LIGHT0 + i));
        const GLfloat lowAmbient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
        glLightModelfv(GL_LIGHT_MODEL_AMBIENT, lowAmbient);
        glLightModeli(GL_LIGHT_MODEL_LOCAL_VIEWER, GL_FALSE);
        for (GLenum cap : {GL_LIGHTING, GL_COLOR_MATERIAL, GL_DEPTH_TEST, GL_CULL_FACE})
            glDisable(cap);
        glColor3f(1.0f, 1.0f, 1.0f);
    }

    // Two frames as the scene draws them, white to start with, the eye in
    // the middle of the room looking at its far wall; the colour of the
    // wall's centre in the second comes back.
    std::vector<int> wallColour() {
        for (int frame = 0; frame < 2; ++frame)
            drawFrame();
        const std::vector<unsigned char> px = qbntest::readPixels(100, 100, 1, 1);
        return {px[0], px[1], px[2]};
    }
    void drawFrame() {
        glViewport(0, 0, 200, 200);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        gluPerspective(60.0, 1.0, 1.0, 1000.0);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glColor3f(1.0f, 1.0f, 1.0f);
        glPushMatrix();
        room->draw();
        glPopMatrix();
    }

    std::unique_ptr<NSObjects::ObjectRoom> room;
};

// Brown (0.5, 0.25, 0) in the room's lamps: clearly more red than green,
// next to no blue.
void expectBrown(const std::vector<int>& rgb, const char* what) {
    SCOPED_TRACE(what);
    SCOPED_TRACE(::testing::Message() << "wall " << rgb[0] << " " << rgb[1] << " " << rgb[2]);
    EXPECT_GT(rgb[0], 40) << "the wall is lit";
    EXPECT_GT(rgb[0], rgb[1] + rgb[1] / 2) << "red over green";
    EXPECT_LT(rgb[2], rgb[0] / 4) << "no blue in brown";
}

} // namespace

TEST_F(ColourLeakTest, WallsKeepTheRoomsColourUnderHoverAndSelection) {
    expectBrown(wallColour(), "an empty room");

    auto* box = new NSObjects::ObjectBox(true);
    box->setPosition(Vector3(-20.0f, -20.0f, -30.0f));
    room->addChild(box);
    expectBrown(wallColour(), "a box in the room");

    // Without a model, only its outline shows.
    auto* ball = new NodeGraphic(true);
    ball->setBoundingVolume(NSNode::BoundingVolume::makeSphereVolume(Vector3(), 5.0f));
    ball->setPosition(Vector3(20.0f, -20.0f, -30.0f));
    room->addChild(ball);
    ball->setHighlighted(true);
    expectBrown(wallColour(), "the pointer over the ball (blue outline)");

    ball->setHighlighted(false);
    ball->setSelected(true);
    expectBrown(wallColour(), "the ball selected (white outline)");
}
