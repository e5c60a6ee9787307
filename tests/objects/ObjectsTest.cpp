// The game objects: how each is built, how the active ones drive bodies, and their records and copies.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "editable/EditorMode.h"
#include "objects/ObjectCatalogue.h"
#include "objects/ObjectHitZones.h"
#include "objects/ObjectLight.h"
#include "objects/ObjectModels.h"
#include "objects/ObjectRollband.h"
#include "objects/ObjectShapes.h"
#include "objects/ObjectSprungbrett.h"
#include "objects/ObjectTeslaSpule.h"
#include "objects/ObjectVentilator.h"
#include "persistence/RecordIO.h"
#include "physics/effects/PhysicsConstantMovement.h"
#include "physics/effects/PhysicsElectricity.h"
#include "physics/effects/PhysicsGravity.h"
#include "physics/effects/PhysicsWind.h"
#include "physics/PhysicsProperty.h"
#include "resources/ModelObject_MD2.h"
#include "scenegraph/ControllerNode.h"
#include "support/GlContext.h"

using NSMenu::MenuEntry;
using NSMenu::Value;
using NSNode::BoundingVolume;
using NSNode::NodeGraphic;
using NSNode::NodePhysical;
using NSNode::NodeTransform;
using namespace NSObjects;

namespace {

constexpr float kDt = 1.0f / 100.0f;

// Runs in the run folder, where the models are; the designer edits only where a test says so.
class ObjectsTest : public qbntest::GlTest {
protected:
    void SetUp() override {
        qbntest::GlTest::SetUp();
        if (!getcwd(previous, sizeof previous))
            previous[0] = 0;
        ASSERT_EQ(0, chdir(QBN_RUN_DIR)) << "no run folder at " << QBN_RUN_DIR;
        NSMenu::setDesignerEditing(false);
    }
    void TearDown() override {
        NSMenu::setDesignerEditing(false);
        resetGlLights();
        if (previous[0] && chdir(previous) != 0)
            ADD_FAILURE() << "cannot go back to " << previous;
    }

    // A tree the objects hang in, stepped as the scene steps it.
    std::unique_ptr<NodeTransform> root{new NodeTransform(true)};

    template <class T>
    T* add(T* node, const Vector3& position = Vector3()) {
        node->setPosition(position);
        root->addChild(node);
        return node;
    }
    // Ordinary gravity everywhere, carried by an invisible body.
    void addGravity() {
        auto* holder = new NodePhysical(true);
        auto* gravity = new NSPhysics::PhysicsGravity(0.0f, -1.0f, 0.0f, 9.81f);
        gravity->setBoundingVolume(BoundingVolume::makeUnboundedVolume());
        holder->addPhysics(gravity);
        root->addChild(holder);
    }
    void run(float seconds) {
        for (float t = 0.0f; t < seconds; t += kDt) {
            NSNode::ControllerNode::instance().clearHits();
            root->simulate(kDt);
            root->finishStep(kDt);
        }
    }

private:
    // The lamps leave their settings in the GL lights; later tests expect OpenGL's defaults.
    static void resetGlLights() {
        const GLfloat black[4] = {0, 0, 0, 1}, white[4] = {1, 1, 1, 1}, position[4] = {0, 0, 1, 0};
        const GLfloat down[3] = {0, 0, -1};
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        for (GLenum light = GL_LIGHT0; light < GL_LIGHT0 + 8; ++light) {
            glLightfv(light, GL_AMBIENT, black);
            glLightfv(light, GL_DIFFUSE, light == GL_LIGHT0 ? white : black);
            glLightfv(light, GL_SPECULAR, light == GL_LIGHT0 ? white : black);
            glLightfv(light, GL_POSITION, position);
            glLightfv(light, GL_SPOT_DIRECTION, down);
            const std::pair<GLenum, float> values[] = {{GL_SPOT_CUTOFF, 180}, {GL_SPOT_EXPONENT, 0},
                {GL_CONSTANT_ATTENUATION, 1}, {GL_LINEAR_ATTENUATION, 0}, {GL_QUADRATIC_ATTENUATION, 0}};
            for (const auto& [name, value] : values)
                glLightf(light, name, value);
            glDisable(light);
        }
        for (GLenum cap : {GL_LIGHTING, GL_DEPTH_TEST, GL_COLOR_MATERIAL})
            glDisable(cap);
    }

    char previous[4096] = {};
};

std::unique_ptr<NodeGraphic> make(int classId) {
    return std::unique_ptr<NodeGraphic>(NSSerialize::Serializeable::factorySerializeClass<NodeGraphic>(classId, true));
}

template <class T>
T* effectOf(NodePhysical& body) {
    for (NSPhysical::Physics* effect : body.getPhysics())
        if (auto* typed = dynamic_cast<T*>(effect))
            return typed;
    return nullptr;
}

float animationSpeed(NodeGraphic& node) {
    auto* model = dynamic_cast<NSGraphic::ModelObject_MD2*>(node.getModel());
    return model && model->animationCount() > 0 ? model->animation(0).speed : -1.0f;
}

const MenuEntry* findEntry(const std::vector<MenuEntry>& list, const std::string& label) {
    for (const MenuEntry& e : list)
        if (e.label == label)
            return &e;
    return nullptr;
}

std::vector<MenuEntry> entriesOf(NodeGraphic& node, bool detailed) {
    std::vector<MenuEntry> list;
    node.getMenuEntries(list, detailed);
    return list;
}

bool shows(NodeGraphic& node, bool detailed, const std::string& label) {
    return findEntry(entriesOf(node, detailed), label) != nullptr;
}

// Through a record on disk and back through the factory.
std::unique_ptr<NodeTransform> throughRecord(NodeTransform& node) {
    const std::string path = testing::TempDir() + "objects.rec";
    {
        NSSerialize::SerialStream out(path, true);
        NSSerialize::writeElement(out, "[nodO]", node);
        EXPECT_TRUE(out.close());
    }
    NSSerialize::SerialStream in(path, false);
    std::unique_ptr<NodeTransform> read(NSSerialize::readElement<NodeTransform>(in));
    EXPECT_FALSE(in.failed());
    std::remove(path.c_str());
    return read;
}

} // namespace

TEST_F(ObjectsTest, EveryClassIsMadeByTheFactoryWithItsModelLoaded) {
    // Balls and boards are compiled; the movers are not, so they stay animated.
    const struct {
        int id;
        const char* model;
        bool compiled;
    } rows[] = {
        {210, "basketball.md2", true}, {211, "bowlingball.md2", true}, {212, "tennisball.md2", true},
        {213, "brett1.md2", true},     {215, "brett3.md2", true},      {203, "Johnny5.md2", false},
        {216, "sprungbrett.md2", true}, {218, "rollband1.md2", false}, {219, "rollband2.md2", false},
        {217, "ventilator.md2", false}, {233, "teslaspule.md2", false}, {200, "", false},
        {201, "", false}, {202, "", false}, {230, "", false}, {232, "", false},
        {220, "", false}, {221, "", false}, {222, "", false},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.id);
        auto object = make(r.id);
        ASSERT_TRUE(object);
        EXPECT_EQ(r.id, object->classId());
        if (*r.model) {
            auto* model = dynamic_cast<NSGraphic::ModelObject_MD2*>(object->getModel());
            ASSERT_TRUE(model);
            EXPECT_EQ(r.model, model->getModelName());
            EXPECT_GT(model->triangleCount(), 0u) << "the generated model did not load";
            EXPECT_EQ(r.compiled, model->isCompiled());
        }
    }
    // The coil only turns about its upright axis and keeps its size.
    ObjectTeslaSpule coil(true);
    EXPECT_TRUE(coil.canEditRotation(1));
    EXPECT_FALSE(coil.canEditRotation(0));
    EXPECT_FALSE(coil.canEditScaling());
}

TEST_F(ObjectsTest, BodiesHaveTheirSizes) {
    ObjectRoom room(true);
    ASSERT_EQ(1u, room.getBoundingVolume()->getVolumes().size());
    auto* walls = dynamic_cast<const BoundingVolume::Room*>(room.getBoundingVolume()->getVolumes()[0]);
    ASSERT_TRUE(walls);
    EXPECT_EQ(Vector3(100, 100, 100), walls->getHalfSize()) << "a room made without sizes is 200 x 200 x 200";
    ASSERT_EQ(2u, room.getChildren().size()) << "the room's two lamps";
    EXPECT_NEAR(200.0f / 2.1f, room.getChildren()[0]->getPosition().x, 1e-3f);
    EXPECT_NEAR(-200.0f / 2.1f, room.getChildren()[1]->getPosition().x, 1e-3f);

    // A room takes length along x, width along y, height along z.
    ObjectRoom sized(300, 200, 100);
    auto* sizedWalls = dynamic_cast<const BoundingVolume::Room*>(sized.getBoundingVolume()->getVolumes()[0]);
    EXPECT_EQ(Vector3(150, 100, 50), sizedWalls->getHalfSize());
    EXPECT_EQ(Vector3(0.5f, 0.25f, 0.0f), sized.getColor());

    // A box takes length along x, height along y, width along z.
    ObjectBox box(true);
    EXPECT_FLOAT_EQ(20.0f, box.getMenuValue("Height").floatValue);
    box.setMenuValue("Height", Value::ofFloat(50.0f));
    auto* solid = dynamic_cast<const BoundingVolume::Box*>(box.getBoundingVolume()->getVolumes()[0]);
    ASSERT_TRUE(solid);
    EXPECT_EQ(Vector3(0, 25, 0), solid->getAxisPointY());
    ObjectBoxHit zone(60, 40, 20);
    auto* zoneSolid = dynamic_cast<const BoundingVolume::Box*>(zone.getBoundingVolume()->getVolumes()[0]);
    EXPECT_EQ(Vector3(0, 0, 20), zoneSolid->getAxisPointZ());

    ObjectSprungbrett springboard(true);
    EXPECT_EQ(2u, springboard.getBoundingVolume()->getVolumes().size()) << "board and foot";
    EXPECT_FLOAT_EQ(22.0f, springboard.getBoundingVolume()->getOuterSphere().getRadius());
}

TEST_F(ObjectsTest, ABasketballFallsUnderGravityWhileABoardStaysPut) {
    addGravity();
    auto* ball = add(new ObjectBasketball(true), Vector3(100, 0, 0));
    auto* board = add(new ObjectBrett1(true), Vector3(-100, 0, 0));
    run(0.5f);
    EXPECT_LT(ball->getPosition().y, -5.0f);
    EXPECT_NEAR(-0.95f * 98.1f * 0.5f, ball->getVelocity().y, 2.0f) << "gravity effectivity 0.95";
    EXPECT_EQ(Vector3(-100, 0, 0), board->getPosition());
    EXPECT_EQ(Vector3(), board->getVelocity());
}

TEST_F(ObjectsTest, TheFanBlowsTennisBallsButNotBasketballs) {
    auto* fan = add(new ObjectVentilator(true));
    auto* tennis = add(new ObjectTennisball(true), Vector3(0, 6, 40));
    auto* basket = add(new ObjectBasketball(true), Vector3(0, 6, 70));
    run(0.5f);
    EXPECT_GT(tennis->getVelocity().z, 5.0f) << "blown along the fan's z axis";
    EXPECT_NEAR(0.0f, tennis->getVelocity().x, 1e-4f);
    EXPECT_EQ(Vector3(), basket->getVelocity());

    // Off: no wind, no blades; on again: both back from the turning speed.
    auto* wind = effectOf<NSPhysics::PhysicsWind>(*fan);
    ASSERT_TRUE(wind);
    fan->setMenuValue("Enable Ventilator", Value::ofBool(false));
    EXPECT_FLOAT_EQ(0.0f, wind->getStrength());
    EXPECT_FLOAT_EQ(0.0f, animationSpeed(*fan));
    fan->setTurningSpeed(30.0f);
    EXPECT_FLOAT_EQ(0.0f, wind->getStrength()) << "still off";
    fan->setEnabled(true);
    EXPECT_FLOAT_EQ(30.0f, wind->getStrength());
    EXPECT_FLOAT_EQ(90.0f, animationSpeed(*fan));
}

TEST_F(ObjectsTest, ABeltCarriesABallAndBrakesItWhenSwitchedOff) {
    // The long belt drives along +z; the ball floats in its drive layer.
    auto* belt = add(new ObjectRollband2(true));
    auto* ball = add(new ObjectTennisball(true), Vector3(0, 9, -40));
    ball->setVelocity(Vector3(3, 0, 0));
    run(4.0f);
    EXPECT_GT(ball->getPosition().z, -10.0f) << "carried along the belt";
    EXPECT_NEAR(14.0f, ball->getVelocity().z, 1.0f);
    EXPECT_NEAR(0.0f, ball->getVelocity().x, 0.2f) << "sideways motion damped";

    auto* drive = effectOf<NSPhysics::PhysicsConstantMovement>(*belt);
    ASSERT_TRUE(drive);
    belt->setMenuValue("Enable Rollband", Value::ofBool(false));
    EXPECT_FLOAT_EQ(0.0f, drive->getSpeed());
    EXPECT_FLOAT_EQ(0.0f, animationSpeed(*belt));
    EXPECT_FLOAT_EQ(14.0f, belt->getSpeed()) << "the speed is kept for later";
    run(6.0f);
    EXPECT_LT(ball->getVelocity().length(), 0.2f) << "at rest on the switched-off belt";
    EXPECT_LT(ball->getPosition().z, 50.0f) << "still on the belt";

    belt->setEnabled(true);
    belt->setSpeed(20.0f);
    EXPECT_FLOAT_EQ(20.0f, drive->getSpeed());
    EXPECT_NEAR(20.0f * 0.14652015f, animationSpeed(*belt), 1e-5f);
}

TEST_F(ObjectsTest, ABallLeavesTheSpringboardFasterThanItCame) {
    auto* springboard = add(new ObjectSprungbrett(true));
    auto* ball = add(new ObjectBasketball(true), Vector3(0, 30, 0));
    ball->setVelocity(Vector3(0, -50, 0));
    run(0.6f);
    ASSERT_GT(ball->getVelocity().y, 0.0f) << "no bounce (are collisions working?)";
    EXPECT_GT(ball->getVelocity().y, 50.0f);
    EXPECT_NEAR(50.0f * 0.95f * 1.15f, ball->getVelocity().y, 1.0f);

    springboard->setMenuValue("Jump Power", Value::ofFloat(2.0f));
    EXPECT_FLOAT_EQ(2.0f, springboard->getElasticBounce());
    EXPECT_FLOAT_EQ(-2.0f, springboard->getBounceFriction());
    EXPECT_TRUE(springboard->isBounceFrictionEnabled());
}

TEST_F(ObjectsTest, JohnnyAndHitZonesLetBodiesThrough) {
    auto* johnny = add(new ObjectJohnny5(true), Vector3(0, 20, 0));
    add(new ObjectBrett3(true));
    johnny->setVelocity(Vector3(0, -40, 0));
    EXPECT_FALSE(johnny->hitTestAll(Vector3(0, -20, 0)).hit);
    run(1.0f);
    EXPECT_LT(johnny->getPosition().y, -15.0f) << "fell through the board";
    EXPECT_EQ(Vector3(0, -40, 0), johnny->getVelocity());

    add(new ObjectBoxHit(40, 40, 40), Vector3(100, 0, 0));
    add(new ObjectSphereHit(true), Vector3(150, 0, 0));
    auto* ball = add(new ObjectBasketball(true), Vector3(60, 0, 0));
    ball->setVelocity(Vector3(50, 0, 0));
    run(2.0f);
    EXPECT_GT(ball->getPosition().x, 155.0f) << "passed through both zones";
    EXPECT_EQ(Vector3(50, 0, 0), ball->getVelocity());
}

TEST_F(ObjectsTest, TheTeslaCoilPassesItsValuesToItsStore) {
    ObjectTeslaSpule coil(true);
    auto* store = effectOf<NSPhysics::PhysicsElectricity>(coil);
    ASSERT_TRUE(store);
    EXPECT_FLOAT_EQ(10000.0f, store->getEnergyMax());

    coil.setMenuValue("Tesla Range", Value::ofFloat(80.0f));
    EXPECT_FLOAT_EQ(10000.0f, store->getEnergy());
    EXPECT_FLOAT_EQ(1000.0f, store->getRefreshPerRound()) << "refresh rate 0.1 of the maximum";
    EXPECT_TRUE(store->isRefreshEnabled());
    auto* reach = dynamic_cast<const BoundingVolume::Sphere*>(store->getBoundingVolume()->getVolumes()[0]);
    ASSERT_TRUE(reach);
    EXPECT_FLOAT_EQ(80.0f, reach->getRadius());
    EXPECT_EQ(Vector3(0, 55, 0), reach->getCenter());

    coil.setMenuValue("Maximum Power", Value::ofFloat(4000.0f));
    EXPECT_FLOAT_EQ(4000.0f, coil.getStartingPower()) << "cut to the new maximum";
    EXPECT_FLOAT_EQ(4000.0f, store->getEnergy());

    coil.setMenuValue("Enable Teslacoil", Value::ofBool(false));
    EXPECT_FALSE(store->isEnabled());
}

TEST_F(ObjectsTest, MenusShowWhatThePlayerMayChange) {
    ObjectRollband1 belt(true);
    belt.setMenuValue("Edit Rollband Speed", Value::ofBool(false));
    EXPECT_TRUE(shows(belt, false, "Enable Rollband"));
    EXPECT_FALSE(shows(belt, false, "Rollband Speed")) << "not editable in the level";
    EXPECT_FALSE(shows(belt, false, "Edit Enable Rollband"));
    belt.setEnabled(false);
    auto custom = entriesOf(belt, true);
    const MenuEntry* speed = findEntry(custom, "Rollband Speed");
    ASSERT_TRUE(speed);
    EXPECT_FALSE(speed->enabled) << "greyed while the belt is off";
    auto* range = dynamic_cast<const NSMenu::ValueConstraintRange*>(speed->constraint.get());
    ASSERT_TRUE(range);
    EXPECT_FLOAT_EQ(50.0f, range->floatMax);
    EXPECT_TRUE(findEntry(custom, "Edit Rollband Speed"));

    ObjectSprungbrett springboard(true);
    EXPECT_TRUE(shows(springboard, false, "Jump Power"));
    ObjectTeslaSpule coil(true);
    for (const char* label : {"Enable Teslacoil", "Tesla Range", "Starting Power", "Enable Refresh", "Refresh Rate",
                              "Maximum Power", "Edit Maximum Power"})
        EXPECT_TRUE(shows(coil, true, label)) << label;

    // Lamps: custom mode only, by section.
    ObjectLightOmni omni(true);
    EXPECT_FALSE(shows(omni, false, "Diffuse-Light Red"));
    EXPECT_TRUE(shows(omni, true, "Attenuation Linear"));
    EXPECT_FALSE(shows(omni, true, "Spotlight Cutoff"));
    EXPECT_FALSE(shows(omni, true, "Enable Spotlight"));
    omni.setMenuValue("Diffuse-Light Green", Value::ofFloat(0.25f));
    EXPECT_FLOAT_EQ(0.25f, omni.getLight()->getDiffuse().y);
    EXPECT_FLOAT_EQ(0.8f, omni.getLight()->getDiffuse().x);
    ObjectLightSpot spot(true);
    spot.setMenuValue("Spotlight Cutoff", Value::ofFloat(0.3f));
    EXPECT_FLOAT_EQ(0.3f, spot.getLight()->getSpotCutoff());
    EXPECT_TRUE(spot.getLight()->isSpot());

    // Labels an object does not know go to the drawable node.
    EXPECT_TRUE(belt.setMenuValue("Mass", Value::ofFloat(3.0f)));
    EXPECT_FLOAT_EQ(3.0f, belt.getMass());
}

TEST_F(ObjectsTest, EveryFactoryClassSurvivesItsRecordAndACopy) {
    const struct {
        int id;
        const char* label; // an own value to change, or null
        float value;
    } cases[] = {
        {200, "Length", 33}, {201, "Radius", 7}, {202, "Width", 250}, {203, nullptr, 0},
        {210, nullptr, 0}, {211, nullptr, 0}, {212, nullptr, 0}, {213, nullptr, 0},
        {214, nullptr, 0}, {215, nullptr, 0}, {216, "Jump Power", 1.5f}, {217, "Turning Speed", 40},
        {218, "Rollband Speed", 30}, {219, "Rollband Speed", 5}, {220, "Attenuation Linear", 0.01f},
        {221, "Diffuse-Light Blue", 0.3f}, {222, "Spotlight Exponent", 12}, {230, "Height", 44},
        {231, "Radius", 3}, {232, "Length", 70}, {233, "Starting Power", 500},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        auto original = make(c.id);
        ASSERT_TRUE(original);
        original->setPosition(Vector3(1, 2, 3));
        original->setName("Copy me");
        if (c.label) {
            ASSERT_TRUE(original->setMenuValue(c.label, Value::ofFloat(c.value)));
        }

        std::unique_ptr<NodeTransform> read = throughRecord(*original);
        std::unique_ptr<NSClone::Cloneable> cloned(original->clone());
        for (NSClone::Cloneable* copy : {static_cast<NSClone::Cloneable*>(read.get()), cloned.get()}) {
            auto* graphic = dynamic_cast<NodeGraphic*>(copy);
            ASSERT_TRUE(graphic);
            EXPECT_EQ(c.id, graphic->classId());
            EXPECT_EQ("Copy me", graphic->getName());
            EXPECT_EQ(Vector3(1, 2, 3), graphic->getPosition());
            EXPECT_EQ(original->isRegistered(), graphic->isRegistered());
            EXPECT_EQ(original->getPhysics().size(), graphic->getPhysics().size());
            EXPECT_EQ(original->getProperties().size(), graphic->getProperties().size());
            EXPECT_EQ(original->getChildren().size(), graphic->getChildren().size());
            if (c.label) {
                EXPECT_FLOAT_EQ(c.value, graphic->getMenuValue(c.label).floatValue) << c.label;
            }
            if (auto* lamp = dynamic_cast<ObjectLight*>(graphic)) {
                ASSERT_TRUE(lamp->getLight());
                EXPECT_EQ(lamp, lamp->getLight()->getParent());
                EXPECT_EQ(lamp->getLight()->getId(), lamp->getLightId());
            }
        }
        EXPECT_NE(original->getId(), dynamic_cast<NodeGraphic*>(cloned.get())->getId());
    }
}

TEST_F(ObjectsTest, TheCreationListMakesObjectsByTheirDisplayNames) {
    const auto& list = creationList();
    ASSERT_EQ(22u, list.size());
    EXPECT_EQ("Basketball", list.front().first);
    EXPECT_EQ("Spot Light", list.back().first);
    EXPECT_EQ(218, creationClassId("Flie\xDF" "band klein"));
    EXPECT_EQ("Sph\xE4re", creationName(201));
    EXPECT_EQ("", creationName(203)) << "the robot is not offered";

    std::unique_ptr<NodeGraphic> board(createObject("Brett gro\xDF"));
    ASSERT_TRUE(board);
    EXPECT_EQ(215, board->classId());
    std::unique_ptr<NodeGraphic> box(createObject("Box"));
    ASSERT_TRUE(box);
    EXPECT_FLOAT_EQ(20.0f, box->getMenuValue("Width").floatValue);
    EXPECT_EQ(nullptr, createObject("Brett riesig"));
}

TEST_F(ObjectsTest, EveryObjectDraws) {
    // Drawn directly, as without a scene.
    NSNode::ModelDrawer* drawer = NodeGraphic::modelDrawer();
    NodeGraphic::setModelDrawer(nullptr);
    NSNode::DeferredDrawSink* sink = NodeTransform::deferredDrawSink();
    NodeTransform::setDeferredDrawSink(nullptr);
    glGetError();
    glViewport(0, 0, 200, 200);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-60, 60, -60, 60, -200, 200);
    glMatrixMode(GL_MODELVIEW);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    for (const auto& entry : creationList()) {
        if (entry.second >= 250 && entry.second < 300)
            continue; // the particle systems draw nothing until they emit
        SCOPED_TRACE(entry.first);
        std::unique_ptr<NodeGraphic> object(createObject(entry.first));
        ASSERT_TRUE(object);
        for (bool editing : {false, true}) {
            NSMenu::setDesignerEditing(editing);
            glClearColor(0, 0, 0, 0);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            glLoadIdentity();
            glRotatef(30, 1, 0, 0);
            glRotatef(150, 0, 1, 0);
            glPushMatrix();
            object->draw();
            glPopMatrix();
            EXPECT_EQ(GLenum(GL_NO_ERROR), glGetError());
            auto pixels = qbntest::readPixels(0, 0, 200, 200);
            int covered = 0;
            for (size_t i = 0; i < pixels.size(); i += 3)
                covered += (pixels[i] || pixels[i + 1] || pixels[i + 2]) ? 1 : 0;
            // Zones and lamps show only to the designer.
            const bool editorOnly = entry.second != CLASS_OBJECT_TESLA_SPULE && entry.second >= CLASS_OBJECT_LIGHT_OMNI;
            if (editing || !editorOnly)
                EXPECT_GT(covered, 50) << (editing ? "while editing" : "in the game");
            else
                EXPECT_EQ(0, covered) << "seen in the game";
        }
    }
    NodeGraphic::setModelDrawer(drawer);
    NodeTransform::setDeferredDrawSink(sink);
}
