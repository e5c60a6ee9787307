#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "editable/EditorMode.h"
#include "persistence/FileScratch.h"
#include "persistence/RecordIO.h"
#include "physics/ControllerPhysics.h"
#include "resources/LoaderModelObject_MD2.h"
#include "scenegraph/ControllerNode.h"
#include "objects/NodeGraphic.h"
#include "support/GlContext.h"
#include "support/LogCapture.h"

using NSMenu::MenuEntry;
using NSMenu::Value;
using NSNode::NodeGraphic;

namespace {

struct Gravity : NSPhysical::Physics {
    Gravity() : Physics(true) {}
    int kind() const override { return NSPhysical::KIND_GRAVITY; }
    int classId() const override { return CLASS_PHYSICS_GRAVITY; }
    Vector3 computeForce(NSNode::NodePhysical*, NSPhysical::PhysicsProperty*) override { return Vector3(); }
    Vector3 getColour() const override { return Vector3(); }
    Cloneable* clone() const override { return new Gravity(); }
};

struct Heat : NSPhysical::PhysicsProperty {
    Heat() : PhysicsProperty(true) {}
    int kind() const override { return NSPhysical::KIND_HEAT; }
    int classId() const override { return CLASS_PHYSICS_PROPERTY_HEAT; }
    Cloneable* clone() const override { return new Heat(); }
};

// Works in another folder for one test.
struct InFolder {
    std::filesystem::path previous = std::filesystem::current_path();
    explicit InFolder(const std::string& dir) { std::filesystem::current_path(dir); }
    ~InFolder() { std::filesystem::current_path(previous); }
};

std::unique_ptr<NodeGraphic> ball(const Vector3& at, float radius) {
    auto node = std::make_unique<NodeGraphic>(true);
    node->setBoundingVolume(NSNode::BoundingVolume::makeSphereVolume(Vector3(), radius));
    node->setPosition(at);
    return node;
}

class NodeGraphicTest : public qbntest::GlTest {
protected:
    void TearDown() override {
        NSMenu::setDesignerEditing(false);
        NodeGraphic::setModelDrawer(nullptr);
        NSNode::ControllerNode::instance().clearHits();
    }
    // Draws node into a 200 x 200 view of -20..20; the number of pixels of colour rgb.
    int draw(NodeGraphic& node, int r, int g, int b) {
        glViewport(0, 0, 200, 200);
        glClearColor(0, 0, 0, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-20, 20, -20, 20, -100, 100);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        for (GLenum cap : {GL_LIGHTING, GL_TEXTURE_2D, GL_DEPTH_TEST, GL_BLEND})
            glDisable(cap);
        node.draw();
        std::vector<unsigned char> px = qbntest::readPixels(0, 0, 200, 200);
        int count = 0;
        for (size_t i = 0; i < px.size(); i += 3)
            count += std::abs(px[i] - r) < 8 && std::abs(px[i + 1] - g) < 8 && std::abs(px[i + 2] - b) < 8;
        return count;
    }
};

} // namespace

TEST_F(NodeGraphicTest, MovesThatWouldOverlapARegisteredObjectAreRefused) {
    auto other = ball(Vector3(20, 0, 0), 5);
    other->registerForHits();
    auto node = ball(Vector3(), 5);
    node->setMenuValue("Scaling", Value::ofFloat(3.5f)); // checked even when not registered
    EXPECT_FLOAT_EQ(1.0f, node->getScaleFactor());
    node->setMenuValue("Position X", Value::ofFloat(1)); // not registered: no check
    EXPECT_FLOAT_EQ(15.0f, node->getPosition().x);

    node->setPosition(Vector3());
    node->registerForHits();
    node->setMenuValue("Position X", Value::ofFloat(1));
    EXPECT_FLOAT_EQ(0.0f, node->getPosition().x);
    node->setMenuValue("Position X", Value::ofFloat(-0.1f));
    EXPECT_FLOAT_EQ(-1.5f, node->getPosition().x);
    node->setMenuValue("Position X ", Value::ofFloat(18)); // typed values are taken as they are
    EXPECT_FLOAT_EQ(18.0f, node->getPosition().x);
}

TEST_F(NodeGraphicTest, VisibilityReachesDownAndSelectionShowsTheEffectVolumes) {
    NodeGraphic root(true);
    auto* plain = new NSNode::NodeTransform(true);
    auto* deep = new NodeGraphic(true);
    auto* direct = new NodeGraphic(true);
    root.addChild(plain);
    plain->addChild(deep);
    root.addChild(direct);
    root.setVisible(false);
    EXPECT_FALSE(root.isVisible() || deep->isVisible() || direct->isVisible());
    root.setVisible(true);
    EXPECT_TRUE(deep->isVisible() && direct->isVisible());

    auto* effect = new Gravity();
    root.addPhysics(effect);
    root.setSelected(true);
    EXPECT_TRUE(effect->getShowVolume());
    root.setSelected(false);
    EXPECT_FALSE(effect->getShowVolume());
}

TEST_F(NodeGraphicTest, ClonesAreOpaqueCopiesWithAModelOfTheirOwn) {
    NodeGraphic source(true);
    source.setName("Board");
    source.setModel(NodeGraphic::MODEL_MD2, "graphic_clone_absent.md2", "skin.bmp");
    source.setEditRotation(false, true, false);
    source.setSelected(true);
    source.setAlpha(0.3f);
    std::unique_ptr<NodeGraphic> copy(dynamic_cast<NodeGraphic*>(source.clone()));
    ASSERT_TRUE(copy);
    EXPECT_NE(source.getId(), copy->getId());
    EXPECT_EQ("Board", copy->getMenuValue("Object Name").stringValue);
    EXPECT_TRUE(copy->canEditRotation(1) && copy->isSelected() && copy->isVisible());
    EXPECT_FLOAT_EQ(1.0f, copy->getAlpha());
    ASSERT_TRUE(copy->getModel());
    EXPECT_NE(source.getModel(), copy->getModel());
    EXPECT_EQ("skin.bmp", copy->getModel()->getTextureName());
}

TEST_F(NodeGraphicTest, RecordRoundTripWithAndWithoutModel) {
    qbntest::ScratchDir dir;
    InFolder here(QBN_RUN_DIR);
    for (bool withModel : {false, true}) {
        NodeGraphic node(true);
        node.setName("Ball");
        node.setEditPosition(true, false, true);
        node.setMaterialEnables(false, true, true, true);
        node.setAlpha(0.5f);
        if (withModel) {
            node.setModel(NodeGraphic::MODEL_MD2, "basketball.md2", "");
            node.getModel()->setAnimationSpeed(0, 3.5f);
            node.getModel()->setCompiled(true);
        }
        {
            NSSerialize::SerialStream out(dir.path("node.bin"), true);
            NSSerialize::writeElement(out, "[nodO]", node);
            ASSERT_TRUE(out.close());
        }
        NSSerialize::SerialStream in(dir.path("node.bin"), false);
        std::unique_ptr<NodeGraphic> read(NSSerialize::readElement<NodeGraphic>(in));
        ASSERT_TRUE(read && !in.failed());
        EXPECT_EQ(0, in.remaining());
        EXPECT_EQ("Ball", read->getMenuValue("Object Name").stringValue);
        EXPECT_TRUE(read->canEditPosition(2) && !read->canEditPosition(1));
        EXPECT_TRUE(read->isEmissiveEnabled() && !read->isAmbientEnabled());
        EXPECT_FLOAT_EQ(0.5f, read->getAlpha());
        ASSERT_EQ(withModel, read->getModel() != nullptr);
        if (withModel) {
            auto* model = dynamic_cast<NSGraphic::ModelObject_MD2*>(read->getModel());
            ASSERT_TRUE(model);
            EXPECT_EQ(node.getModel()->getTextureName(), model->getTextureName());
            EXPECT_TRUE(model->triangleCount() > 0 && model->isCompiled());
            EXPECT_FLOAT_EQ(3.5f, model->animation(0).speed);
        }
    }
}

TEST_F(NodeGraphicTest, TheSceneDrawsTheModelsAndHearsOfDestroyedNodes) {
    struct Drawer : NSNode::ModelDrawer {
        std::vector<NodeGraphic*> drawn, forgotten;
        void drawModel(NodeGraphic* n) override { drawn.push_back(n); }
        void forgetNode(NodeGraphic* n) override { forgotten.push_back(n); }
    } drawer;
    NodeGraphic::setModelDrawer(&drawer);
    auto* node = new NodeGraphic(true);
    draw(*node, 0, 0, 0);
    node->setVisible(false);
    draw(*node, 0, 0, 0);
    delete node;
    NodeGraphic::setModelDrawer(nullptr);
    EXPECT_EQ(std::vector<NodeGraphic*>{node}, drawer.drawn) << "drawn once: hidden nodes are not";
    EXPECT_EQ(std::vector<NodeGraphic*>{node}, drawer.forgotten);
}
