// The handles around the selection: which show where, and how dragging them moves and turns the object.
#include <cmath>

#include "scene/RotateTorus.h"
#include "scene/SceneFixture.h"
#include "scene/TranslatePfeil.h"

using qbntest::SceneGl;

namespace {

using NSNode::BoundingVolume;
using NSNode::NodeGraphic;
using NSScene::Scene;

class Handles : public SceneGl {
protected:
    // An object of radius 2 at the origin, selected, seen from 50 units: handles 5 long, 5.5 from its centre.
    NodeGraphic* selectedBlob(BoundingVolume* volume = BoundingVolume::makeSphereVolume(Vector3(), 2.0f)) {
        look(Vector3(0, 0, 50), Vector3());
        NodeGraphic* b = blob(Vector3(), volume);
        scene.select(b);
        frame();
        return b;
    }
    void drag(int x, int y) { scene.mouseDrag(0, x, y); }
    void release(int x, int y) { scene.mouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 0, x, y); }
};

TEST_F(Handles, HandlesShowOutsideTheObjectOnlyForTheAxesItMayUse) {
    NodeGraphic* b = selectedBlob();
    b->setEditPosition(true, true, true);
    std::string seen; // along X, then up Y, then Z pointing at the eye
    for (const Vector3& at : {Vector3(5.1f, 0, 0), Vector3(5.9f, 0, 0), Vector3(10, 0, 0), Vector3(10.9f, 0, 0),
                              Vector3(0, 8, 0), Vector3(0, 0, 0)})
        seen += std::to_string(handleAt(at)) + " ";
    EXPECT_EQ(seen, "-1 1 1 -1 2 3 ");
    // Arrows keep the parent's axes when the object turns.
    b->setRotation(Vector3(0, 0, 1.0f));
    EXPECT_EQ(handleAt(Vector3(8, 0, 0)), 1);
    b->setRotation(Vector3());

    // No X moves allowed: no X arrow in level mode, but in custom mode.
    b->setEditPosition(false, true, true);
    EXPECT_EQ(handleAt(Vector3(8, 0, 0)), -1);
    NSMenu::setDesignerEditing(true);
    EXPECT_EQ(handleAt(Vector3(8, 0, 0)), 1);
    EXPECT_EQ(handleAt(Vector3(5.5f, -5, 0)), 4); // and every ring
    NSMenu::setDesignerEditing(false);
    EXPECT_EQ(handleAt(Vector3(5.5f, -5, 0)), -1);
    // Rings lie in the object's own frame: turned a quarter about Z, the X ring stands above it.
    b->setEditRotation(true, false, false);
    EXPECT_EQ(handleAt(Vector3(5.5f, -5, 0)), 4);
    b->setRotation(Vector3(0, 0, 1.5707964f));
    EXPECT_EQ(handleAt(Vector3(5.5f, -5, 0)), -1);
    EXPECT_EQ(handleAt(Vector3(-5, 5.5f, 0)), 4);

    // None while the machine runs.
    ASSERT_TRUE(scene.setRunning(true));
    EXPECT_EQ(handleAt(Vector3(0, 8, 0)), -1);
}

TEST_F(Handles, DraggingAnArrowMovesAlongItsAxisAndStopsBeforeAnotherObject) {
    NodeGraphic* b = selectedBlob();
    b->setEditPosition(true, true, false);
    int x, y;
    // X: the point taken hold of stays under the pointer (40 pixels at 50 units from the eye in a view 300
    // high: 5.52 units); vertical motion does not count.
    press(Vector3(8, 0, 0), x, y);
    EXPECT_TRUE(scene.gizmos().isTranslating());
    drag(x + 40, y + 13);
    EXPECT_NEAR(b->getPosition().x, 5.52f, 0.05f);
    EXPECT_NEAR(b->getPosition().y, 0.0f, 1e-4f);
    drag(x - 40, y);
    EXPECT_NEAR(b->getPosition().x, -5.52f, 0.05f);
    drag(x, y); // back where the drag began: exactly the start
    EXPECT_EQ(b->getPosition(), Vector3());
    release(x, y);
    EXPECT_FALSE(scene.gizmos().isTranslating());
    frame();

    // Y: up by the pointer's upward motion; the camera stays.
    press(Vector3(0, 8, 0), x, y);
    drag(x + 5, y + 40);
    release(x + 5, y + 40);
    EXPECT_NEAR(b->getPosition().y, 5.52f, 0.05f);
    EXPECT_NEAR(b->getPosition().x, 0.0f, 1e-4f);
    EXPECT_EQ(scene.getCamera().getEye(), Vector3(0, 0, 50));
    b->setPosition(Vector3());
    frame();

    // Z may not be used: where its arrow would be, a press starts no drag.
    press(Vector3(0, 0, 8), x, y);
    EXPECT_FALSE(scene.gizmos().isTranslating());
    drag(x + 40, y + 40);
    release(x + 40, y + 40);
    EXPECT_EQ(b->getPosition(), Vector3());
    look(Vector3(0, 0, 50), Vector3());
    frame();

    // Another object at x = 15 (radius 3), touched once x reaches 10: the drag stops at the last free
    // step, also when one jump of the pointer goes far past it.
    blob(Vector3(15, 0, 0), BoundingVolume::makeSphereVolume(Vector3(), 3.0f));
    frame();
    for (int steps : {8, 1}) {
        b->setPosition(Vector3());
        frame();
        press(Vector3(8, 0, 0), x, y);
        for (int step = 1; step <= steps; ++step)
            drag(x + 400 * step / steps, y);
        EXPECT_GT(b->getPosition().x, 9.7f) << steps;
        EXPECT_LE(b->getPosition().x, 10.001f) << steps;
        EXPECT_FALSE(b->hitTestAll(Vector3()).hit);
        release(x + 400, y);
    }
    // Starting in contact (at x = 11), a drag further in leaves it there; one out of the contact pulls it out.
    for (int dx : {40, -160}) {
        b->setPosition(Vector3(11, 0, 0));
        frame();
        press(Vector3(19, 0, 0), x, y);
        drag(x + dx, y);
        release(x + dx, y);
        EXPECT_TRUE(dx > 0 ? b->getPosition().x == 11.0f : b->getPosition().x < 0.0f) << dx << ": " << b->getPosition().x;
    }
}

TEST_F(Handles, DraggingARingTurnsAboutItsAxisAndStopsBeforeAnotherObject) {
    // A bar 40 long along X; its ring about Z faces the eye from z = 22.
    NodeGraphic* bar = selectedBlob(BoundingVolume::makeBoxVolume(Vector3(), Vector3(40, 2, 2)));
    bar->setEditRotation(false, false, true);
    look(Vector3(0, 0, 80), Vector3());
    frame();
    const float ringZ = 1.1f * std::sqrt(20.0f * 20.0f + 2.0f);
    int x, y;
    press(Vector3(8, 0, ringZ), x, y);
    ASSERT_TRUE(scene.gizmos().isRotating());
    // A diagonal drag of (10, 10) pixels turns it clockwise by about 0.707 radians.
    drag(x + 10, y + 10);
    EXPECT_NEAR(bar->getRotation().z, -0.7071f, 1e-3f);
    drag(x + 20, y + 20);
    EXPECT_NEAR(bar->getRotation().z, -1.4142f, 1e-3f);
    drag(x + 10, y + 10);
    EXPECT_NEAR(bar->getRotation().z, -0.7071f, 1e-3f);
    EXPECT_NEAR(bar->getRotation().x, 0.0f, 1e-4f);
    EXPECT_NEAR(bar->getRotation().y, 0.0f, 1e-4f);
    release(x + 10, y + 10);

    // A turn through an object above the bar, in one pointer step, stops where the bar meets it.
    blob(Vector3(0, 12, 0), BoundingVolume::makeSphereVolume(Vector3(), 2.0f));
    frame();
    press(Vector3(8, 0, ringZ), x, y);
    ASSERT_TRUE(scene.gizmos().isRotating());
    drag(x + 40, y + 40);
    const float stopped = bar->getRotation().z;
    EXPECT_LT(stopped, -0.75f);
    EXPECT_GT(stopped, -1.5f);
    EXPECT_FALSE(bar->hitTestAll(Vector3()).hit);
    drag(x + 80, y + 80);
    EXPECT_NEAR(bar->getRotation().z, stopped, 0.02f);
    drag(x + 70, y + 70); // the other way is free
    EXPECT_NEAR(bar->getRotation().z, stopped + 0.7071f, 0.02f);

    // Without the Z rotation allowed the ring is gone.
    release(x, y);
    bar->setEditRotation(false, false, false);
    frame();
    press(Vector3(8, 0, ringZ), x, y);
    EXPECT_FALSE(scene.gizmos().isRotating());
}

} // namespace
