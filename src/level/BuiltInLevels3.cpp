#include "level/BuiltInLevels3.h"

#include "level/LevelBuilding.h"
#include "objects/ObjectLight.h"
#include "objects/ObjectModels.h"
#include "objects/ObjectShapes.h"
#include "physics/effects/PhysicsLight.h"
#include "physics/effects/PhysicsTemperature.h"
#include "physics/properties/PhysicsPropertyOfKind.h"
#include "scenegraph/BoundingVolume.h"

using NSNode::BoundingVolume;
using NSNode::NodeGraphic;
using namespace NSObjects;

namespace NSLevel {

using namespace building;

namespace {

// A light ball that feels gravity, the air (drag: 1 slows it like a
// balloon, 0.02 like a ball) and the given effect's kind.
template <class Property>
ObjectSphere* makeBalloon(float radius, float mass, float drag, const Vector3& colour, const char* name) {
    ObjectSphere* balloon = makeBall(radius, mass, drag, colour, name);
    balloon->addProperty(new Property(1.0f));
    return balloon;
}

// The hot plate: a glowing block on the floor with a column of warm air
// above it, up to the ceiling, in which orange sparks rise while the
// machine runs. The heat pushes along its own x axis, turned upward.
ObjectBox* makeHotPlate(float intensity) {
    auto* plate = makeBlock(40.0f, 8.0f, 40.0f, Vector3(0.9f, 0.25f, 0.05f));
    plate->setName("Hei\xDF" "e Platte");
    plate->setEmissive(Vector3(0.6f, 0.1f, 0.0f));
    auto* heat = new NSPhysics::PhysicsHeat(true);
    heat->setIntensity(intensity);
    heat->rotate(Vector3(0.0f, 0.0f, 1.57f));
    heat->setBoundingVolume(BoundingVolume::makeBoxVolume(Vector3(146.0f, 0.0f, 0.0f), Vector3(292.0f, 40.0f, 40.0f)));
    plate->addPhysics(heat);
    addStream(plate, Vector3(-1.57f, 0.0f, 0.0f), Vector3(40.0f, 1.0f, 40.0f), Vector3(1.0f, 0.5f, 0.1f), 6.0f);
    return plate;
}

// The spotlight: a dark block with a spot lamp in front that shines along
// its -z; its light pushes along the same line, within a beam 30 units
// across and 200 long, and pale sparks stream out of it while the machine
// runs.
ObjectBox* makeSpotlight() {
    auto* spot = makeBlock(12.0f, 12.0f, 16.0f, Vector3(0.2f, 0.2f, 0.2f));
    spot->setName("Scheinwerfer");
    auto* push = new NSPhysics::PhysicsLight(true);
    push->setIntensity(100.0f);
    push->rotate(Vector3(0.0f, 1.57f, 0.0f));
    push->setBoundingVolume(BoundingVolume::makeBoxVolume(Vector3(100.0f, 0.0f, 0.0f), Vector3(200.0f, 30.0f, 30.0f)));
    spot->addPhysics(push);
    place(new ObjectLightSpot(true), Vector3(0.0f, 0.0f, -8.0f), Vector3(), kFixed, spot);
    addStream(spot, Vector3(0.0f, 3.14f, 0.0f), Vector3(6.0f, 1.0f, 6.0f), Vector3(1.0f, 1.0f, 0.6f), 2.5f);
    return spot;
}

} // namespace

// --- Level 10 ----------------------------------------------------------------

Level10::Level10()
    : Level("Hei\xDF" "e Luft",
            "[AUFGABE]\n"
            "Der Erfinder hat einen Ballon gebaut, der mit warmer Luft steigt.\n"
            "Jetzt liegt er auf dem Regal, und der Korb wartet vergeblich.\n"
            "\n"
            "[ZIEL]\n"
            "Bringen Sie den roten Ballon in den Korb.\n"
            "\n"
            "[TIPPS]\n"
            "Die hei\xDF" "e Platte l\xE4sst die Luft dar\xFC" "ber aufsteigen, bis zur Decke.\n"
            "Nur der Ballon sp\xFCrt die W\xE4rme.\n"
            "Was unter dem Brett an der Decke aufsteigt, gleitet an ihm entlang\n"
            "zu seiner h\xF6heren Seite.\n") {}

void Level10::build() {
    setCamera(Vector3(40.0f, 60.0f, 450.0f));
    addRoom(300.0f, 300.0f, 300.0f, Vector3(0.35f, 0.3f, 0.25f));

    place(makeHotPlate(15.0f), Vector3(60.0f, -145.0f, 0.0f), kMoveX | kMoveZ);

    // The balloon on its shelf, the board under the ceiling above it.
    place(new ObjectBrett1(true), Vector3(-90.0f, -60.0f, 0.0f), kFixed);
    auto* balloon =
        place(makeBalloon<NSPhysicsProperty::PhysicsPropertyHeat>(10.0f, 0.1f, 1.0f, Vector3(0.9f, 0.1f, 0.1f), "Ballon"),
              Vector3(-90.0f, -50.0f, 0.0f), kSelect);
    // It starts tilted toward the plate's side, away from the basket.
    place(new ObjectBrett3(true), Vector3(-90.0f, 110.0f, 0.0f), Vector3(0.0f, 0.0f, 0.43f), kTurnX | kTurnZ);
    NodeGraphic* basket = addBasket(Vector3(-90.0f, -147.0f, -55.0f), 50.0f, 20.0f);

    settle();
    registerWinConditonHit(idOf(balloon), idOf(basket));
}

// --- Level 11 ----------------------------------------------------------------

Level11::Level11()
    : Level("Lichtdruck",
            "[AUFGABE]\n"
            "Der Lichtsegler des Erfinders ist eine Kugel, so leicht,\n"
            "dass schon Licht sie vor sich her schiebt.\n"
            "\n"
            "[ZIEL]\n"
            "Schieben Sie den Lichtsegler mit dem Scheinwerfer vom Tisch\n"
            "in den Korb.\n"
            "\n"
            "[TIPPS]\n"
            "Der Scheinwerfer schiebt nur, was in seinem Strahl liegt, und zwar\n"
            "in Richtung des Strahls. Je n\xE4her er steht, desto kr\xE4" "ftiger.\n") {}

void Level11::build() {
    setCamera(Vector3(40.0f, 190.0f, 430.0f));
    addRoom(300.0f, 300.0f, 300.0f, Vector3(0.15f, 0.15f, 0.25f));

    auto* table = makeBlock(160.0f, 6.0f, 80.0f, Vector3(0.55f, 0.35f, 0.2f));
    place(table, Vector3(-60.0f, -63.0f, 0.0f), kFixed);
    auto* sailer = place(makeBalloon<NSPhysicsProperty::PhysicsPropertyLight>(5.0f, 0.002f, 0.02f, Vector3(0.85f, 0.85f, 0.9f),
                                                                             "Lichtsegler"),
                         Vector3(-70.0f, -55.0f, 0.0f), kSelect);

    place(makeSpotlight(), Vector3(-110.0f, -54.0f, 0.0f), Vector3(0.0f, 1.57f, 0.0f), kMoveX | kTurnY);

    NodeGraphic* basket = addBasket(Vector3(95.0f, -147.0f, 35.0f), 84.0f, 20.0f);

    settle();
    registerWinConditonHit(idOf(sailer), idOf(basket));
}

// --- Level 12 ----------------------------------------------------------------

Level12::Level12()
    : Level("Hoch hinaus",
            "[AUFGABE]\n"
            "Der Erfinder hat eine Kugel gebaut, die Licht und W\xE4rme sp\xFCrt.\n"
            "Sie soll in den Korb auf dem Wandbrett, doch sie liegt auf dem Tisch.\n"
            "\n"
            "[ZIEL]\n"
            "Bringen Sie die Kugel in den Korb auf dem Wandbrett.\n"
            "\n"
            "[TIPPS]\n"
            "Der Scheinwerfer schiebt die Kugel in Richtung seines Strahls.\n"
            "\xDC" "ber der hei\xDF" "en Platte steigt sie auf, bis unter das Brett.\n"
            "Das Brett an der Decke l\xE4sst sie zu seiner h\xF6heren Seite gleiten.\n") {}

void Level12::build() {
    setCamera(Vector3(40.0f, 120.0f, 450.0f));
    addRoom(300.0f, 300.0f, 300.0f, Vector3(0.25f, 0.3f, 0.3f));

    place(makeBlock(160.0f, 6.0f, 80.0f, Vector3(0.55f, 0.35f, 0.2f)), Vector3(-60.0f, -63.0f, 0.0f), kFixed);
    auto* ball = makeBalloon<NSPhysicsProperty::PhysicsPropertyLight>(5.0f, 0.002f, 1.0f, Vector3(0.95f, 0.8f, 0.3f),
                                                                      "Kugel");
    ball->addProperty(new NSPhysicsProperty::PhysicsPropertyHeat(1.0f));
    place(ball, Vector3(-70.0f, -55.0f, 0.0f), kSelect);
    place(makeSpotlight(), Vector3(-110.0f, -54.0f, 0.0f), Vector3(0.0f, 1.57f, 0.0f), kMoveX | kTurnY);
    place(makeHotPlate(0.3f), Vector3(-60.0f, -145.0f, 90.0f), kMoveX | kMoveZ);
    // It starts tilted toward the table and the front, away from the shelf.
    place(new ObjectBrett3(true), Vector3(50.0f, 110.0f, 0.0f), Vector3(0.3f, 0.0f, -0.43f), kTurnX | kTurnZ);
    // A shelf on the right wall, the basket on top of it.
    place(makeBlock(100.0f, 6.0f, 60.0f, Vector3(0.45f, 0.3f, 0.2f)), Vector3(100.0f, -16.0f, 0.0f), kFixed);
    NodeGraphic* basket = addBasket(Vector3(80.0f, -10.0f, 0.0f), 56.0f, 15.0f);

    settle();
    registerWinConditonHit(idOf(ball), idOf(basket));
}

} // namespace NSLevel
