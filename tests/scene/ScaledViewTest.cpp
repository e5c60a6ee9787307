// At any scale and view size a click picks what shows under it, and a handle drag keeps it under the pointer.
#include "scene/SceneFixture.h"
#include "shell/DisplayScale.h"

using NSNode::BoundingVolume;
using NSNode::NodeGraphic;
using qbntest::SceneGl;

namespace {

class ScaledView : public SceneGl {
protected:
    // Where a world point shows, in units of the interface.
    void unitPoint(const Vector3& p, int& x, int& y) {
        viewPoint(p, x, y), x = NSWindow::pixelToUnit(x), y = NSWindow::pixelToUnit(y);
    }
};

} // namespace

TEST_F(ScaledView, PickingFollowsTheScaleAndTheViewsSize) {
    NodeGraphic* b = blob(Vector3(), BoundingVolume::makeSphereVolume(Vector3(), 2.0f));
    b->setEditPosition(true, true, true);
    look(Vector3(0, 0, 50), Vector3());
    scene.select(b);
    // scale | view size in units (at scale 2 the 400 x 300 view fills the 800 x 600 test window)
    const struct { float scale; int width, height; } views[] = {{1, 400, 300}, {2, 400, 300}, {1.5f, 400, 300}, {1, 330, 260}, {2, 300, 260}};
    for (const auto& v : views) {
        NSWindow::setDisplayScale(v.scale);
        scene.setLayout(NSWindow::ItemLayout(0, 0, v.width, v.height));
        b->setPosition(Vector3());
        frame();
        // The X arrow, the Y arrow, the Z arrow (pointing at the eye), empty space.
        const struct { Vector3 at; int handle; } points[] = {{Vector3(8, 0, 0), 1}, {Vector3(0, 8, 0), 2}, {Vector3(0, 0, 0), 3}, {Vector3(0, -12, 0), -1}};
        for (const auto& p : points) {
            int x, y;
            unitPoint(p.at, x, y);
            const GLuint* record = scene.pick(x, y);
            const int handle = !record ? -1 : record[0] >= 2 ? static_cast<int>(record[4]) : 0;
            EXPECT_EQ(handle, p.handle) << v.scale << " " << v.width << ": at " << p.at.x << ", " << p.at.y;
        }
    }
    NSWindow::setDisplayScale(1.0f); // no ASSERT above: always reached
}

// A drag along an arrow keeps the point taken hold of under the pointer in a small window, a large one, full
// screen and at scale 2, so the same share of the view's height moves the object as far in each; an arrow
// pointing nearly at the eye moves a unit of the view (at the object's depth) per unit of the pointer's way.
TEST_F(ScaledView, AnArrowFollowsThePointerAtEveryViewSize) {
    NodeGraphic* b = blob(Vector3(), BoundingVolume::makeSphereVolume(Vector3(), 2.0f));
    b->setEditPosition(true, true, true);
    scene.select(b);
    auto screen = [&](const Vector3& p) { // where a point shows, in units
        GLdouble x, y;
        viewPoint(p, x, y);
        return std::make_pair(float(x) / NSWindow::displayScale(), float(y) / NSWindow::displayScale());
    };
    // scale | view in units (800 x 600, 1280 x 1024 and 1920 x 1080 windows less the menu) | the Z arrow seen end on
    const struct { float scale; int width, height; bool steep; } views[] = {{1, 630, 600, false}, {1, 1110, 1024, false},
        {1, 1750, 1080, false}, {2, 630, 600, false}, {1, 630, 600, true}, {1, 1750, 1080, true}};
    float first = 0.0f;
    for (const auto& v : views) {
        SCOPED_TRACE(std::to_string(v.scale) + " " + std::to_string(v.width) + (v.steep ? " steep" : ""));
        const Vector3 eye = v.steep ? Vector3(6, 4, 60) : Vector3(40, 30, 60), grab = v.steep ? Vector3(0, 0, 8) : Vector3(0, 12.5f, 0);
        NSWindow::setDisplayScale(v.scale);
        scene.setLayout(NSWindow::ItemLayout(0, 0, v.width, v.height));
        look(eye, Vector3());
        b->setPosition(Vector3());
        frame();
        const auto [gx, gy] = screen(grab);
        const auto [ax, ay] = screen(grab * 1.2f); // a tenth of the view's height along the arrow's way
        const float along = std::hypot(ax - gx, ay - gy), step = 0.1f * v.height;
        const int x = int(gx), y = int(gy), tx = x + int(std::lround((ax - gx) * step / along)),
                  ty = y + int(std::lround((ay - gy) * step / along));
        scene.mouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, x, y);
        EXPECT_TRUE(scene.gizmos().isTranslating());
        scene.mouseDrag(0, tx, ty);
        scene.mouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 0, tx, ty);
        const float moved = length(b->getPosition());
        const auto [sx, sy] = screen(grab + b->getPosition());
        EXPECT_TRUE(v.steep || std::abs(sx - float(tx)) + std::abs(sy - float(ty)) <= 1.5f) << "not under the pointer: " << moved;
        // The same distance in every view; end on, a tenth of the view's height at the object's depth.
        EXPECT_NEAR(moved, v.steep ? 0.1f * 2 * std::tan(0.3927f) * length(eye) : (first = first ? first : moved), 0.03f * moved);
    }
    NSWindow::setDisplayScale(1.0f);
}
