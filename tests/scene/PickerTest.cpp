// Picking on its own, without a scene: named squares in front of each other stand for objects, their parts and
// a handle (a record of two names).
#include <GL/gl.h>

#include <initializer_list>

#include "objects/NodeGraphic.h"
#include "scene/Picker.h"
#include "support/GlContext.h"

using NSNode::NodeGraphic;

namespace {

// A square across the middle of the view at depth z, under the names given.
void square(std::initializer_list<GLuint> names, float z) {
    for (GLuint name : names)
        glPushName(name);
    glBegin(GL_QUADS);
    glVertex3f(-20, -20, z);
    glVertex3f(20, -20, z);
    glVertex3f(20, 20, z);
    glVertex3f(-20, 20, z);
    glEnd();
    for (size_t i = 0; i < names.size(); ++i)
        glPopName();
}

} // namespace

class PickerGl : public qbntest::GlTest {};

// Clicks at one place select the objects there from near to far, each once however many parts it shows, the
// handle left out, then none, then the nearest again; a click on nothing keeps the selection.
TEST_F(PickerGl, ClicksCycleNearToFarOverEachObjectOnceLeavingHandlesOut) {
    NSNode::NodeTransform root(true);
    NodeGraphic* far = new NodeGraphic(true);
    NodeGraphic* middle = new NodeGraphic(true);
    NodeGraphic* near = new NodeGraphic(true);
    for (NodeGraphic* node : {far, middle, near})
        root.addChild(node);
    const auto id = [](const NodeGraphic* node) { return static_cast<GLuint>(node->getId()); };
    const NSWindow::ItemLayout area(0, 0, 400, 300);
    const auto draw = [&] {
        NSWindow::setViewportOver(area);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        square({id(far)}, -300);
        square({id(middle)}, -200);
        square({id(middle)}, -250);
        square({id(near)}, -100);
        square({id(far), 1}, -50);
    };
    NSScene::Picker picker;
    const GLuint* nearest = picker.pick(area, 200, 150, draw);
    ASSERT_TRUE(nearest && nearest[0] == 2 && nearest[3] == id(far) && nearest[4] == 1) << "the handle lies nearest";
    EXPECT_EQ(NSScene::Picker::nodeAt(nearest, root), far);
    NodeGraphic* selected = nullptr;
    for (NodeGraphic* expected : {near, middle, far, static_cast<NodeGraphic*>(nullptr), near}) {
        selected = picker.clickedSelection(root, selected);
        EXPECT_EQ(selected, expected);
    }
    EXPECT_EQ(picker.pick(area, 5, 5, draw), nullptr);
    EXPECT_EQ(picker.clickedSelection(root, middle), middle);
}
