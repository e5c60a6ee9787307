#include <GL/gl.h>
#include <gtest/gtest.h>

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
    }
};

} // namespace

TEST_F(NodeGraphicTest, MovesAndTurnsThatWouldOverlapARegisteredObjectAreRefused) {
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
    node->setMenuValue("Position X ", Value::ofFloat(18)); // a place the player types must be free
    EXPECT_FLOAT_EQ(-1.5f, node->getPosition().x);
    NSMenu::setDesignerEditing(true); // the designer's is taken as it is
    node->setMenuValue("Position X ", Value::ofFloat(18));
    NSMenu::setDesignerEditing(false);
    EXPECT_FLOAT_EQ(18.0f, node->getPosition().x);

    // Turns too: upright, the bar would reach into the other. A turn reads from -0.5 to 0.5 (-180 to 180
    // degrees) however a ring or a level file left it.
    auto bar = ball(Vector3(20, 15, 0), 1);
    bar->setBoundingVolume(NSNode::BoundingVolume::makeBoxVolume(Vector3(), Vector3(40, 2, 2))); // along x
    bar->registerForHits();
    EXPECT_FALSE(bar->setMenuValue("Rotation Z", Value::ofFloat(0.25f)));
    EXPECT_EQ(bar->getMenuValue("Rotation Z").floatValue, 0.0f);
    for (const auto& [turn, reads] : {std::pair{0.75f, -0.25f}, {-0.75f, 0.25f}, {1.4f, 0.4f}, {-0.25f, -0.25f}}) {
        bar->setRotation(Vector3(0, turn * 6.2831855f, 0));
        EXPECT_NEAR(bar->getMenuValue("Rotation Y").floatValue, reads, 1e-5f) << turn;
    }
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
    EXPECT_TRUE(source.getId() != copy->getId() && copy->getMenuValue("Object Name").stringValue == "Board");
    EXPECT_TRUE(copy->canEditRotation(1) && copy->isSelected() && copy->isVisible() && copy->getAlpha() == 1.0f);
    ASSERT_TRUE(copy->getModel());
    EXPECT_NE(source.getModel(), copy->getModel());
    EXPECT_EQ("skin.bmp", copy->getModel()->getTextureName());
}

TEST_F(NodeGraphicTest, RecordRoundTripWithAndWithoutModel) {
    qbntest::ScratchDir dir;
    InFolder here(QBN_RUN_DIR);
    auto write = [&](NodeGraphic& n) {
        NSSerialize::SerialStream out(dir.path("node.bin"), true);
        NSSerialize::writeElement(out, "[nodO]", n);
        EXPECT_TRUE(out.close());
        return qbntest::readFileBytes(dir.path("node.bin"));
    };
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
        const qbntest::Bytes bytes = write(node);
        NSSerialize::SerialStream in(dir.path("node.bin"), false);
        std::unique_ptr<NodeGraphic> read(NSSerialize::readElement<NodeGraphic>(in));
        ASSERT_TRUE(read && !in.failed());
        EXPECT_EQ(0, in.remaining());
        EXPECT_EQ(bytes, write(*read)); // every value comes back
        EXPECT_TRUE(read->isEmissiveEnabled() && !read->isAmbientEnabled() && read->canEditPosition(2));
        auto* model = dynamic_cast<NSGraphic::ModelObject_MD2*>(read->getModel());
        ASSERT_EQ(withModel, model != nullptr);
        EXPECT_TRUE(!withModel || (model->triangleCount() > 0 && model->isCompiled()));
    }
}

TEST_F(NodeGraphicTest, TheSceneDrawsTheModelsAndHearsOfDestroyedNodes) {
    struct Drawer : NSNode::ModelDrawer {
        std::vector<NSNode::NodeTransform*> drawn, forgotten;
        void drawModel(NSNode::NodeTransform* n) override { drawn.push_back(n); }
        void forgetNode(NSNode::NodeTransform* n) override { forgotten.push_back(n); }
    } drawer;
    NSNode::ControllerNode& world = NSNode::ControllerNode::inUse();
    world.setDrawers(&drawer, nullptr);
    auto* node = new NodeGraphic(true);
    node->draw();
    node->setVisible(false);
    node->draw();
    delete node;
    // A node that moves into another world is gone for this one's scene.
    auto* moved = new NodeGraphic(true);
    NSNode::ControllerNode other;
    moved->moveToWorld(other);
    world.setDrawers(nullptr, nullptr);
    EXPECT_EQ(std::vector<NSNode::NodeTransform*>{node}, drawer.drawn) << "drawn once: hidden nodes are not";
    EXPECT_EQ((std::vector<NSNode::NodeTransform*>{node, moved}), drawer.forgotten);
    delete moved;
}
