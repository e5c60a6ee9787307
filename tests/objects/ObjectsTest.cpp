// The game objects: how each is built, how the active ones drive bodies, and their records and copies.
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <tuple>
#include <utility>

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
        glPushAttrib(GL_LIGHTING_BIT | GL_ENABLE_BIT); // the lamps set up GL lights; later tests expect the defaults
        if (!getcwd(previous, sizeof previous))
            previous[0] = 0;
        ASSERT_EQ(0, chdir(QBN_RUN_DIR)) << "no run folder at " << QBN_RUN_DIR;
        NSMenu::setDesignerEditing(false);
    }
    void TearDown() override {
        NSMenu::setDesignerEditing(false);
        glPopAttrib();
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
            NSNode::ControllerNode::inUse().clearHits();
            root->simulate(kDt);
            root->finishStep(kDt);
        }
    }

private:
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
    fan->setTurningSpeed(30.0f);
    EXPECT_EQ(std::make_pair(0.0f, 0.0f), std::make_pair(wind->getStrength(), animationSpeed(*fan))) << "still off";
    fan->setEnabled(true);
    EXPECT_EQ(std::make_pair(30.0f, 90.0f), std::make_pair(wind->getStrength(), animationSpeed(*fan)));
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
    EXPECT_EQ(std::make_tuple(0.0f, 0.0f, 14.0f), std::make_tuple(drive->getSpeed(), animationSpeed(*belt), belt->getSpeed()))
        << "stopped, the speed kept for later";
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

// A selected springboard's arrow points where a ball dropped straight onto it leaves, longer with more jump power.
TEST_F(ObjectsTest, TheSpringboardsArrowShowsWhereADroppedBallLeaves) {
    const struct { float power; Vector3 turn; } rows[] = {
        {0.5f, Vector3(0, 0, 0.3f)}, {1.0f, Vector3(0, 0, 0.3f)}, {2.0f, Vector3(0, 0, 0.3f)}, {1.2f, Vector3(-0.4f, 0.5f, 0)}};
    float lastLength = 0.0f;
    ObjectSprungbrett* springboard = nullptr;
    for (const auto& row : rows) {
        root.reset(new NodeTransform(true));
        springboard = add(new ObjectSprungbrett(true), Vector3(10, 0, 0));
        springboard->setRotation(row.turn);
        springboard->setJumpPower(row.power);
        auto* ball = add(new ObjectTennisball(true), Vector3(10, 30, 0));
        ball->setVelocity(Vector3(0, -50, 0));
        for (int i = 0; i < 100 && ball->getVelocity() == Vector3(0, -50, 0); ++i)
            run(kDt);
        const Vector3 out = ball->getVelocity() * (1.0f / 50.0f), arrow = springboard->throwVelocity();
        EXPECT_LT(length(out - arrow), 0.02f * length(out))
            << row.power << ": left along " << out.x << ", " << out.y << ", " << out.z << "; arrow " << arrow.x;
        EXPECT_TRUE(row.turn.x != 0.0f || length(arrow) > lastLength) << "more jump power, a longer arrow";
        lastLength = length(arrow);
    }
    // The ball is the lightest moving body, unless the player may move another.
    const Vector3 tennisThrow = springboard->throwVelocity();
    add(new ObjectBasketball(true), Vector3(100, 0, 0));
    EXPECT_EQ(springboard->throwVelocity(), tennisThrow);
    dynamic_cast<NodeGraphic*>(root->getChildren().back())->setEditPosition(false, true, false);
    EXPECT_NE(springboard->throwVelocity(), tennisThrow);
}

TEST_F(ObjectsTest, TheTeslaCoilPassesItsValuesToItsStore) {
    ObjectTeslaSpule coil(true);
    auto* store = effectOf<NSPhysics::PhysicsElectricity>(coil);
    ASSERT_TRUE(store);
    coil.setMenuValue("Tesla Range", Value::ofFloat(80.0f));
    EXPECT_FLOAT_EQ(10000.0f, store->getEnergy());
    EXPECT_FLOAT_EQ(1000.0f, store->getRefreshPerRound()) << "refresh rate 0.1 of the maximum";
    auto* reach = dynamic_cast<const BoundingVolume::Sphere*>(store->getBoundingVolume()->getVolumes()[0]);
    ASSERT_TRUE(reach);
    EXPECT_EQ(std::make_pair(80.0f, Vector3(0, 55, 0)), std::make_pair(reach->getRadius(), reach->getCenter()));
    coil.setMenuValue("Refresh Rate", Value::ofFloat(0.5f));
    EXPECT_FLOAT_EQ(5000.0f, store->getRefreshPerRound());
    coil.setMenuValue("Maximum Power", Value::ofFloat(4000.0f));
    EXPECT_EQ(std::make_pair(4000.0f, 4000.0f), std::make_pair(coil.getStartingPower(), store->getEnergy()))
        << "cut to the new maximum while refreshing";
    coil.setMenuValue("Enable Refresh", Value::ofBool(false));
    coil.setMenuValue("Enable Teslacoil", Value::ofBool(false));
    EXPECT_FALSE(store->isRefreshEnabled() || store->isEnabled());
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
            auto summary = [](NodeGraphic* n) {
                return std::make_tuple(n->classId(), n->getName(), n->getPosition(), n->isRegistered(),
                                       n->getPhysics().size(), n->getProperties().size(), n->getChildren().size());
            };
            EXPECT_EQ(summary(original.get()), summary(graphic));
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

// Every value line an object publishes on its designer's page is one the object takes back: a misspelt label
// would show a line that does nothing.
TEST_F(ObjectsTest, EveryValueLineAnObjectShowsIsOneItTakes) {
    NSMenu::setDesignerEditing(true);
    for (int id : {200, 201, 202, 203, 210, 211, 212, 213, 214, 215, 216, 217, 218, 219, 220, 221, 222, 230, 231, 232,
                   233}) {
        auto object = make(id);
        std::vector<MenuEntry> page;
        object->getMenuEntries(page, true);
        for (const MenuEntry& e : page) {
            if (e.kind == NSMenu::KIND_BOOL || e.kind == NSMenu::KIND_INPUT || e.kind == NSMenu::KIND_SLIDER ||
                e.kind == NSMenu::KIND_ACCELERATOR) {
                EXPECT_TRUE(object->setMenuValue(e.label, e.value)) << id << " \"" << e.label << "\"";
            }
        }
    }
}

// A level's player may change a box's or sphere's size only where the level lets them scale it.
TEST_F(ObjectsTest, ShapeSizesShowInLevelModeOnlyWhereScalingIsAllowed) {
    const struct {
        int id;
        const char* label;
        bool scaling, detailed, shown;
    } cases[] = {{200, "Length", false, false, false}, {201, "Radius", false, false, false},
                 {200, "Height", true, false, true},   {201, "Radius", true, false, true},
                 {200, "Width", false, true, true},    {201, "Radius", false, true, true}};
    for (const auto& c : cases) {
        auto shape = make(c.id);
        shape->setEditScaling(c.scaling);
        std::vector<NSMenu::MenuEntry> page;
        shape->getMenuEntries(page, c.detailed);
        const bool shown =
            std::any_of(page.begin(), page.end(), [&](const NSMenu::MenuEntry& e) { return e.label == c.label; });
        EXPECT_EQ(shown, c.shown) << c.id << " " << c.label << " scaling " << c.scaling << " detailed " << c.detailed;
    }
}
