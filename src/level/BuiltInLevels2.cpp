#include "level/BuiltInLevels2.h"


#include "level/LevelBuilding.h"
#include "objects/ObjectModels.h"
#include "objects/ObjectShapes.h"
#include "objects/ObjectTeslaSpule.h"
#include "objects/ObjectVentilator.h"
#include "physics/effects/PhysicsMagnetic.h"
#include "physics/properties/PhysicsPropertyElectricity.h"
#include "physics/properties/PhysicsPropertyOfKind.h"
#include "scene/Scene.h"
#include "scenegraph/BoundingVolume.h"

using NSMenu::Value;
using NSNode::BoundingVolume;
using NSNode::NodeGraphic;
using namespace NSObjects;

namespace NSLevel {

using namespace building;

namespace {

constexpr float kQuarter = 1.5708f;
const Vector3 kWood(0.55f, 0.35f, 0.2f);

// A goal on the floor, open toward its -x (turned about Y by turn): a back
// wall (the goal's object) at back and two side walls 30 units long.
NodeGraphic* addGoal(const Vector3& back, float turn, float width) {
    const Vector3 white(0.9f, 0.9f, 0.9f);
    auto* wall = place(makeBlock(3.0f, 40.0f, width, white), back, Vector3(0.0f, turn, 0.0f), kFixed);
    for (float side : {-1.0f, 1.0f})
        place(makeBlock(30.0f, 40.0f, 3.0f, white), Vector3(-16.5f, 0.0f, side * (width * 0.5f + 1.5f)), Vector3(),
              kFixed, wall);
    return wall;
}

// A fan the player may turn about Y and whose speed they may set, but not switch.
ObjectVentilator* makeFan() {
    auto* fan = new ObjectVentilator(true);
    fan->setMenuValue("Edit Enable Ventilator", Value::ofBool(false));
    return fan;
}

} // namespace

// --- Level 7 -----------------------------------------------------------------

Level07::Level07()
    : Level("Frischer Wind",
            "[AUFGABE]\n"
            "Der Erfinder will Fu\xDF" "ball spielen, aber er hat keine Lust zu laufen.\n"
            "Daf\xFCr hat er einen Ventilator.\n"
            "\n"
            "[ZIEL]\n"
            "Bringen Sie den Fu\xDF" "ball ins Tor.\n"
            "\n"
            "[TIPPS]\n"
            "Der Wind des Ventilators reicht ein St\xFC" "ck weit geradeaus nach vorn\n"
            "und schiebt den leichten Ball in seine Richtung.\n"
            "Die Drehzahl bestimmt, wie kr\xE4" "ftig er bl\xE4st.\n") {}

void Level07::build() {
    setCamera(Vector3(-110.0f, 130.0f, 380.0f));
    addRoom(300.0f, 300.0f, 300.0f, Vector3(0.3f, 0.45f, 0.3f));

    // The fan blows toward the front; the ball lies beside it, out of its wind.
    place(makeFan(), Vector3(-60.0f, -128.0f, 0.0f), kTurnY);
    auto* ball = makeBall(8.0f, 0.06f, 0.02f, Vector3(0.95f, 0.95f, 0.95f), "Fu\xDF" "ball");
    ball->addProperty(new NSPhysicsProperty::PhysicsPropertyWind(0.5f));
    ball->setPhysical(true, true, 0.06f, 0.5f, 0.02f, false); // it rolls easily
    place(ball, Vector3(-25.0f, -141.0f, 0.0f), kSelect);
    NodeGraphic* goal = addGoal(Vector3(36.5f, -130.0f, 0.0f), 0.0f, 44.0f);

    settle();
    registerWinConditonHit(idOf(ball), idOf(goal));
}

// --- Level 8 -----------------------------------------------------------------

Level08::Level08()
    : Level("Unter Strom",
            "[AUFGABE]\n"
            "Der neue Ventilator des Erfinders hat keinen Stecker. Er l\xE4uft\n"
            "mit dem Strom der Tesla-Spule, doch die reicht nicht bis zu ihm.\n"
            "\n"
            "[ZIEL]\n"
            "Blasen Sie den Tennisball vom Tisch in den Korb.\n"
            "\n"
            "[TIPPS]\n"
            "Der Ventilator l\xE4uft nur, solange ihn der Strom der Spule erreicht.\n"
            "Wie weit der Strom reicht, zeigt ein Klick auf die Spule.\n"
            "Ihre Reichweite stellen Sie im Men\xFC der Spule ein.\n") {}

void Level08::build() {
    setCamera(Vector3(20.0f, 260.0f, 360.0f));
    addRoom(300.0f, 300.0f, 300.0f, Vector3(0.25f, 0.25f, 0.35f));

    place(makeBlock(160.0f, 6.0f, 80.0f, kWood), Vector3(-60.0f, -63.0f, 0.0f), kFixed);
    auto* ball = place(new ObjectTennisball(true), Vector3(-90.0f, -56.0f, 0.0f), kSelect);
    // The fan at the table's end blows along it; it runs only when powered.
    ObjectVentilator* fan = makeFan();
    fan->setMenuValue("Turning Speed", Value::ofFloat(50.0f));
    fan->setMenuValue("Edit Turning Speed", Value::ofBool(false));
    fan->setEnabled(false);
    fan->addProperty(new NSPhysicsProperty::PhysicsPropertyElectricity(1.0f, 1.0f));
    place(fan, Vector3(-125.0f, -39.0f, 0.0f), Vector3(0.0f, kQuarter, 0.0f), kSelect);
    // The coil behind the table, its reach too short for the fan; only its reach is the player's.
    auto* coil = new ObjectTeslaSpule(true);
    for (const char* flag : {"Edit Enable Teslacoil", "Edit Starting Power", "Edit Refresh Rate", "Edit Maximum Power"})
        coil->setMenuValue(flag, Value::ofBool(false));
    coil->setMenuValue("Tesla Range", Value::ofFloat(30.0f));
    place(coil, Vector3(-125.0f, -150.0f, -108.0f), kSelect);
    NodeGraphic* basket = addBasket(Vector3(45.0f, -147.0f, 0.0f), 44.0f, 20.0f);

    settle();
    registerWinConditonHit(idOf(ball), idOf(basket));
}

namespace {

bool takesElectricity(const NSNode::NodePhysical& body) {
    for (const NSPhysical::PhysicsProperty* property : body.getProperties())
        if (property->kind() == NSPhysical::KIND_ELECTRICITY)
            return true;
    return false;
}

// Whether the electricity of a switched-on coil among these reaches the body.
bool powered(NSNode::NodePhysical* body, const std::vector<ObjectTeslaSpule*>& coils) {
    for (ObjectTeslaSpule* coil : coils)
        for (NSPhysical::Physics* effect : coil->getPhysics())
            if (coil->isEnabled() && effect->isEnabled() && effect->kind() == NSPhysical::KIND_ELECTRICITY &&
                effect->overlaps(body, Vector3()))
                return true;
    return false;
}

} // namespace

void Level08::update() {
    NSScene::Scene* s = scene();
    if (s && s->getRoot()) {
        std::vector<ObjectTeslaSpule*> coils;
        std::vector<ObjectVentilator*> fans;
        for (NSNode::NodeTransform* child : s->getRoot()->getChildren()) {
            if (auto* coil = dynamic_cast<ObjectTeslaSpule*>(child))
                coils.push_back(coil);
            else if (auto* fan = dynamic_cast<ObjectVentilator*>(child); fan && takesElectricity(*fan))
                fans.push_back(fan);
        }
        for (ObjectVentilator* fan : fans)
            if (const bool on = powered(fan, coils); on != fan->isEnabled())
                fan->setEnabled(on);
    }
    Level::update();
}

// --- Level 9 -----------------------------------------------------------------

namespace {

// The magnet on its stand: a post the player turns about Y, an arm at its
// top and the red magnet at the arm's end. The magnet pulls every magnetic
// body within 150 units of it, harder the closer it is (1/d^2).
ObjectBox* makeMagnetStand(float arm, float height) {
    auto* stand = makeBlock(6.0f, height, 6.0f, Vector3(0.5f, 0.5f, 0.55f));
    stand->setName("Magnet");
    // The arm clear of the post (the post may turn only where it overlaps nothing).
    place(makeBlock(arm - 11.0f, 4.0f, 4.0f, Vector3(0.5f, 0.5f, 0.55f)), Vector3(arm * 0.5f - 2.0f, height * 0.5f, 0.0f),
          Vector3(), kFixed, stand);
    auto* magnet = makeBlock(14.0f, 20.0f, 14.0f, Vector3(0.85f, 0.1f, 0.1f));
    auto* pull = new NSPhysics::PhysicsMagnetic(true);
    pull->setStrength(25.0f);
    pull->setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(), 150.0f));
    magnet->addPhysics(pull);
    place(magnet, Vector3(arm, height * 0.5f, 0.0f), Vector3(), kFixed, stand);
    return stand;
}

} // namespace

Level09::Level09()
    : Level("Anziehend",
            "[AUFGABE]\n"
            "Die Stahlkugel des Erfinders rollt die Rampe hinab und springt\n"
            "am Tor vorbei. Zum Gl\xFC" "ck hat er einen Magneten.\n"
            "\n"
            "[ZIEL]\n"
            "Bringen Sie die Stahlkugel ins wei\xDF" "e Tor.\n"
            "\n"
            "[TIPPS]\n"
            "Der rote Magnet am Arm zieht nur die Stahlkugel an,\n"
            "und nur in seiner N\xE4he: je n\xE4her sie ihm kommt, desto kr\xE4" "ftiger.\n"
            "Drehen Sie den St\xE4nder, schwenkt der Arm den Magneten herum.\n") {}

void Level09::build() {
    setCamera(Vector3(40.0f, 190.0f, 330.0f));
    addRoom(300.0f, 300.0f, 300.0f, Vector3(0.3f, 0.3f, 0.4f));

    // The ramp down to the right; the ball leaves its low end in mid-air.
    place(makeBlock(150.0f, 4.0f, 30.0f, kWood), Vector3(-70.0f, 0.0f, 0.0f), Vector3(0.0f, 0.0f, -0.4f), kFixed);
    auto* ball = makeBall(8.0f, 0.5f, 0.02f, Vector3(0.6f, 0.62f, 0.68f), "Stahlkugel");
    ball->addProperty(new NSPhysicsProperty::PhysicsPropertyMagnetic(1.0f));
    place(ball, Vector3(-125.0f, 37.0f, 0.0f), kSelect);
    // The goal behind the ball's way, open toward it; the magnet behind the
    // goal, low over the floor, its arm pointing to the right wall.
    NodeGraphic* goal = addGoal(Vector3(82.0f, -130.0f, -70.0f), kQuarter, 30.0f);
    place(makeMagnetStand(35.0f, 24.5f), Vector3(82.0f, -137.25f, -115.0f), kTurnY);

    settle();
    registerWinConditonHit(idOf(ball), idOf(goal));
}

} // namespace NSLevel
