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

int indexOf(const std::vector<MenuEntry>& list, const std::string& label) {
    auto it = std::find_if(list.begin(), list.end(), [&](const MenuEntry& e) { return e.label == label; });
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
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

TEST_F(NodeGraphicTest, SetModelDerivesTheTextureAndCopiesTheSharedModel) {
    NodeGraphic node(true);
    node.setModel(NodeGraphic::MODEL_MD2, "graphic_test_absent.md2", "");
    ASSERT_NE(nullptr, node.getModel());
    EXPECT_EQ("graphic_test_absent.md2", node.getModel()->getModelName());
    EXPECT_EQ("graphic_test_absent.bmp", node.getModel()->getTextureName());
    node.setModel(NodeGraphic::MODEL_NONE, "graphic_test_absent.md2", "");
    EXPECT_EQ(nullptr, node.getModel());

    const bool firstLoad = !NSLoader::LoaderModelObject_MD2::instance().isCached("");
    qbntest::LogCapture log;
    node.setModel(NodeGraphic::MODEL_MD2, "", "");
    ASSERT_NE(nullptr, node.getModel());
    EXPECT_EQ("", node.getModel()->getModelName());
    if (firstLoad) {
        EXPECT_NE(std::string::npos, log.text().find("md2_objects/:")) << log.text();
    }
}

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

TEST_F(NodeGraphicTest, MenuValuesByLabel) {
    NodeGraphic node(true);
    node.setRotation(Vector3(0, 3.5f, 0));
    EXPECT_NEAR(-0.443f, node.getMenuValue("Rotation Y").floatValue, 1e-3f);
    node.setMenuValue("Rotation Z", Value::ofFloat(0.25f));
    EXPECT_NEAR(1.5707963f, node.getRotation().z, 1e-5f);
    EXPECT_FLOAT_EQ(3.5f, node.getRotation().y);
    node.setMenuValue("Mat. Shininess Green", Value::ofFloat(4));
    EXPECT_FLOAT_EQ(4.0f, node.getShininess().y);
    EXPECT_FALSE(node.setMenuValue("Colour Blue", Value::ofFloat(0)));
}

TEST_F(NodeGraphicTest, SetNameAndSetPictureTakeWhatWasTyped) {
    qbntest::ScratchDir dir;
    std::filesystem::create_directory(dir.path("md2_objects"));
    qbntest::writeFileBytes(dir.path("md2_objects/lamp_pic.bmp"), {'B', 'M'});
    InFolder here(dir.path(""));
    NodeGraphic node(true);
    node.setMenuValue("Object Name", Value::ofString("Lamp"));
    EXPECT_EQ("unnamed", node.getName());
    node.setMenuValue("Set Name", Value());
    EXPECT_EQ("Lamp", node.getName());

    node.setMenuValue("Menu Picture", Value::ofString("lamp_pic.bmp"));
    node.setMenuValue("Set Picture", Value());
    EXPECT_EQ("lamp_pic.bmp", node.getMenuPicture());
    node.setMenuValue("Menu Picture", Value::ofString("missing_pic.bmp"));
    node.setMenuValue("Set Picture", Value());
    EXPECT_EQ("", node.getPicture());
    EXPECT_EQ("", node.getMenuValue("Menu Picture").stringValue);
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

TEST_F(NodeGraphicTest, MenuPagesOfCustomAndLevelMode) {
    NodeGraphic node(true);
    std::vector<MenuEntry> page;
    node.getMenuEntries(page, true);
    ASSERT_GE(page.size(), 13u);
    EXPECT_EQ("Position X ", page[3].label);
    EXPECT_EQ("Rotation X", page[6].label);
    ASSERT_EQ("Scaling", page[9].label);
    EXPECT_FALSE(page[9].constraint->isValid(NSMenu::TYPE_FLOAT, Value::ofFloat(0.4f)));
    EXPECT_EQ("Selectable", page[12].label);
    EXPECT_EQ(&node, page[12].owner);
    const char* order[] = {"Selectable", "Mass", "Moveable", "Edit Position X", "Color Red", "Mat. Shininess Blue"};
    for (int i = 1; i < 6; ++i)
        EXPECT_LT(indexOf(page, order[i - 1]), indexOf(page, order[i])) << order[i];
    EXPECT_EQ(-1, indexOf(page, "Object Name")) << "not in the plain node's sections";

    // Level mode: only what the player may change, then what the object does.
    node.setEditPosition(false, true, false);
    node.setEditScaling(true);
    node.addPhysics(new Gravity());
    node.addProperty(new Heat());
    page.clear();
    node.getMenuEntries(page, false);
    EXPECT_EQ(0, indexOf(page, "Position Y"));
    EXPECT_EQ(1, indexOf(page, "Scaling"));
    EXPECT_EQ(-1, indexOf(page, "Selectable"));
    const int provide = indexOf(page, "PROVIDE"), affected = indexOf(page, "AFFECTED BY");
    ASSERT_TRUE(provide > 0 && affected > provide && affected + 1 < static_cast<int>(page.size()));
    EXPECT_EQ(nullptr, page[provide].owner);
    const auto& names = NSPhysical::ControllerPhysics::instance();
    EXPECT_EQ(" - " + names.physicsName(CLASS_PHYSICS_GRAVITY), page[provide + 1].value.stringValue);
    EXPECT_EQ(" - " + names.propertyName(CLASS_PHYSICS_PROPERTY_HEAT), page[affected + 1].value.stringValue);
}

TEST_F(NodeGraphicTest, FactoryAndClones) {
    std::unique_ptr<NodeGraphic> empty(NSSerialize::Serializeable::factorySerializeClass<NodeGraphic>(102, false));
    ASSERT_TRUE(empty);
    EXPECT_EQ(102, empty->classId());
    EXPECT_FALSE(empty->isVisible());

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

TEST_F(NodeGraphicTest, OutlineIsGreenOnlyWhenFreeToMoveOrWhileDesigning) {
    auto node = ball(Vector3(), 10);
    EXPECT_EQ(40000, draw(*node, 0, 0, 0)) << "neither selected nor highlighted, no model: nothing drawn";
    node->setSelected(true);
    node->setEditPosition(true, true, false);
    EXPECT_EQ(0, draw(*node, 0, 255, 0));
    EXPECT_GT(draw(*node, 255, 255, 255), 0);
    node->setEditPosition(true, true, true);
    EXPECT_GT(draw(*node, 0, 255, 0), 0);
    EXPECT_EQ(0, draw(*node, 255, 255, 255));
    node->setEditPosition(false, false, false);
    NSMenu::setDesignerEditing(true);
    EXPECT_GT(draw(*node, 0, 255, 0), 0);
    node->setSelected(false);
    node->setHighlighted(true);
    EXPECT_GT(draw(*node, 64, 64, 255), 0);
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
