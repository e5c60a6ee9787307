#include "level/BuiltInLevels.h"
#include "level/LevelBuilding.h"

#include "level/BuiltInLevels2.h"
#include "level/BuiltInLevels3.h"
#include "level/ControllerLevel.h"
#include "objects/ObjectHitZones.h"
#include "objects/ObjectModels.h"
#include "objects/ObjectRollband.h"
#include "objects/ObjectShapes.h"
#include "objects/ObjectSprungbrett.h"
#include "objects/ObjectVentilator.h"
#include "particles/ObjectParticleSystems.h"
#include "physics/TurnRange.h"
#include "physics/effects/PhysicsFriction.h"
#include "physics/effects/PhysicsGravity.h"
#include "physics/properties/PhysicsPropertyOfKind.h"
#include "scene/Scene.h"
#include "scenegraph/BoundingVolume.h"
#include "scenegraph/ControllerNode.h"

using NSMenu::Value;
using NSNode::NodeGraphic;
using namespace NSObjects;

namespace NSLevel {

namespace {

using namespace building; // what the player may do with an object, the camera, settle()

// Places a fresh object (its position and rotation are still zero) and
// sets what the player may do with it.
template <class T>
T* put(T* object, const Vector3& position, unsigned access) {
    object->translate(position);
    allowOnly(object, access);
    return object;
}

template <class T>
T* put(T* object, const Vector3& position, const Vector3& rotation, unsigned access) {
    object->translate(position);
    object->rotate(rotation);
    allowOnly(object, access);
    return object;
}

// Below parent with the next pending changes.
template <class T>
T* addTo(NodeGraphic* parent, T* object) {
    parent->addChildLater(object);
    return object;
}

// Narrows the player's turn about the axes named (kTurnX, kTurnY, kTurnZ) to from..to, in fractions of a
// turn: the level mode slider spans that range, so one of its 88 clicks turns (to - from) / 88 of a turn.
// A range of a quarter turn makes a click 1/352 turn (about a degree), a half turn 1/176.
template <class T>
T* turnRange(T* object, unsigned axes, float from, float to) {
    for (int axis = 0; axis < 3; ++axis)
        if (axes & (kTurnX << axis))
            NSConstraint::setPlayerTurnRange(*object, axis, from, to);
    return object;
}

// The two ranges the springboard levels give: a quarter turn and a half turn around the built angle 0.
constexpr float kEighthTurn = 0.125f;
constexpr float kQuarterTurn = 0.25f;

template <class T>
T* withMenuValue(T* object, const char* label, Value value) {
    object->setMenuValue(label, value);
    return object;
}

// The room with gravity everywhere and, unless it is a room without air,
// a little friction; not yet in the scene.
ObjectRoom* makeRoom(float length, float width, float height, bool friction) {
    auto* room = new ObjectRoom(length, width, height);
    if (friction) {
        auto* drag = new NSPhysics::PhysicsFriction(0.0f, 0.05f);
        drag->setBoundingVolume(NSNode::BoundingVolume::makeUnboundedVolume());
        room->addPhysics(drag);
    }
    auto* gravity = new NSPhysics::PhysicsGravity(0.0f, -1.0f, 0.0f, 9.81f);
    gravity->setBoundingVolume(NSNode::BoundingVolume::makeUnboundedVolume());
    room->addPhysics(gravity);
    return room;
}

ObjectRoom* makeRoom(float length, float width, float height, bool friction, const Vector3& colour) {
    ObjectRoom* room = makeRoom(length, width, height, friction);
    room->setColor(colour);
    return room;
}

// A particle system that keeps emitting, lightly spread, each particle
// fading out over its life.
void configureStream(NSParticle::ObjectParticleSystemTexture* smoke, const Vector3& emitterSize,
                    const Vector3& colour, float lifespan) {
    smoke->emitAngle = Vector3(0.1f, 0.1f, 0.0f);
    smoke->emitDurationEnabled = false;
    smoke->emitterSize = emitterSize;
    smoke->setColor(colour);
    smoke->partsPerSec = 25.0f;
    smoke->lifespanVar = 1.0f;
    smoke->lifespan = lifespan;
    smoke->alphaFading = true;
    smoke->alphaFadeBegin = 0.0f;
}

constexpr float kQuarter = 1.57f;
constexpr float kHalf = 3.14f;
// The height at which a springboard stands on the floor of a room 300 high.
constexpr float kFloorRest = -141.0f;
// The height at which a tennis ball of twice the size rests on level 5's
// cabinet top (its surface at -50, the ball's radius 6.6).
constexpr float kBigBallRest = -43.4f;

} // namespace

// --- Level 1 -----------------------------------------------------------------

Level01::Level01()
    : Level("Die Bombe und der Swimminpool (Teil 1)",
            "Willkommen bei Quibbleton!\n"
            "Dies ist das erste Level:\n"
            "\n"
            "[AUFGABE]\n"
            "Ein Sprengsatz, getarnt als Basketball, ist scharf gemacht worden!\n"
            "Er muss sofort entsorgt werden, bevor er hochgeht.\n"
            "\n"
            "[ZIEL]\n"
            "Bringen Sie den Basketball durch das Gitter aus vier Brettern\n"
            "in die Kiste darunter.\n"
            "\n"
            "[TIPPS]\n"
            "Ein Mausklick w\xE4hlt ein Objekt aus. Im Men\xFC rechts k\xF6nnen Sie es\n"
            "verschieben oder drehen, soweit das Level es erlaubt.\n"
            "Mit gedr\xFC" "ckter Umschalttaste bewegt sich ein Regler zehnmal feiner,\n"
            "die Tasten 4 und 6 schieben den zuletzt angeklickten ein wenig.\n"
            "Ein Klick auf eine Zahl im Men\xFC l\xE4sst Sie den Wert eintippen.\n"
            "Der Knopf unten links startet die Maschine. Halten Sie sie an,\n"
            "kehrt alles an seinen Platz zur\xFC" "ck.\n") {}

void Level01::build() {
    setCamera(Vector3(0.0f, 100.0f, 400.0f));

    auto* bomb = add(put(new ObjectBasketball(true), Vector3(-80.0f, 50.0f, 0.0f), kSelect));
    auto* fuse = new NSParticle::ObjectParticleSystemTexture(true);
    configureStream(fuse, Vector3(1.0f, 1.0f, 1.0f), Vector3(0.1f, 0.1f, 0.1f), 1.0f);
    addTo(bomb, put(fuse, Vector3(0.0f, 0.0f, 0.0f), Vector3(-kQuarter, 0.0f, 0.0f), kFixed));

    add(put(new ObjectBrett2(true), Vector3(-50.0f, 30.0f, 0.0f), Vector3(0.2f, kQuarter, 0.0f), kFixed));
    add(put(new ObjectBrett2(true), Vector3(10.0f, -10.0f, 0.0f), kTurnXYZ));
    // The small board catches the ball half as wide again as it is: a click of the middle board's turn about Y
    // sends the ball some 13 units further along z.
    auto* catcher = new ObjectBrett1(true);
    catcher->setScale(1.5f);
    add(put(catcher, Vector3(-100.0f, -50.0f, 0.0f), Vector3(0.0f, 0.0f, kQuarter), kMoveX | kMoveY));
    // The grate: four boards on edge around the box, as long across (z) as the boards on either side are.
    add(put(new ObjectBrett2(true), Vector3(10.0f, -120.0f, 0.0f), Vector3(0.0f, 0.0f, kQuarter), kFixed));
    add(put(new ObjectBrett2(true), Vector3(-50.0f, -120.0f, 0.0f), Vector3(0.0f, 0.0f, kQuarter), kFixed));
    add(put(new ObjectBrett2(true), Vector3(-20.0f, -120.0f, -45.0f), Vector3(0.0f, kQuarter, kQuarter), kFixed));
    add(put(new ObjectBrett2(true), Vector3(-20.0f, -120.0f, 45.0f), Vector3(0.0f, kQuarter, kQuarter), kFixed));

    add(makeRoom(300.0f, 300.0f, 400.0f, true));
    auto* target = add(put(new ObjectBoxHit(60.0f, 90.0f, 20.0f), Vector3(-20.0f, -120.0f, 0.0f), kFixed));

    settle();
    registerWinConditonHit(idOf(bomb), idOf(target));
}

// --- Level 2 -----------------------------------------------------------------

Level02::Level02()
    : Level("Die Bombe und der Swimminpool (Teil 2)",
            "[AUFGABE]\n"
            "Die Bombe liegt jetzt an ihrem Platz.\n"
            "Sie muss aus sicherer Entfernung gez\xFCndet werden.\n"
            "\n"
            "[ZIEL]\n"
            "Sorgen Sie daf\xFCr, dass der Tennisball die Bowlingkugel trifft.\n"
            "\n"
            "[TIPPS]\n"
            "Zwei der Sprungbretter lassen sich heben, senken und drehen.\n"
            "Ein Sprungbrett wirft einen Ball h\xF6her zur\xFC" "ck, als er gefallen ist;\n"
            "ein geneigtes wirft ihn zu der Seite, zu der es sich neigt.\n"
            "Die Sprungkraft bestimmt beides: wie hoch der Ball springt und wie\n"
            "stark es ihn entlang des Bretts zur Seite weiterschiebt.\n") {}

void Level02::build() {
    setCamera(Vector3(0.0f, 200.0f, 300.0f));
    add(makeRoom(300.0f, 300.0f, 300.0f, true, Vector3(0.3f, 0.5f, 0.5f)));

    auto* ball = add(put(new ObjectTennisball(true), Vector3(100.0f, 0.0f, 0.0f), kSelect));
    auto* first = withMenuValue(new ObjectSprungbrett(true), "Edit Jump Power", Value::ofBool(false));
    add(put(first, Vector3(100.0f, -50.0f, 0.0f), Vector3(0.0f, 0.0f, 0.3925f), kSelect));
    auto* second = withMenuValue(new ObjectSprungbrett(true), "Jump Power", Value::ofFloat(1.2f));
    withMenuValue(second, "Edit Jump Power", Value::ofBool(false));
    // The springboards' tilts win over a few degrees each: their sliders span a quarter turn, a degree a click.
    add(turnRange(put(second, Vector3(5.0f, -50.0f, 0.0f), kMoveY | kTurnZ), kTurnZ, -kEighthTurn, kEighthTurn));
    auto* third = withMenuValue(new ObjectSprungbrett(true), "Edit Jump Power", Value::ofBool(false));
    withMenuValue(third, "Jump Power", Value::ofFloat(1.2f));
    add(turnRange(put(third, Vector3(-40.0f, -50.0f, 0.0f), kMoveY | kTurnXYZ), kTurnX | kTurnZ, -kEighthTurn,
                  kEighthTurn));
    add(put(new ObjectBrett1(true), Vector3(-40.0f, 0.0f, -40.0f), kFixed));
    // The bomb is twice the size of a bowling ball: the tennis ball's three
    // bounces spread its path wider than a bowling ball's width.
    auto* bomb = new ObjectBowlingball(true);
    bomb->setScale(2.0f);
    add(put(bomb, Vector3(-40.0f, 20.0f, -40.0f), kSelect));

    settle();
    registerWinConditonHit(idOf(ball), idOf(bomb));
}

// --- Level 3 -----------------------------------------------------------------

Level03::Level03()
    : Level("Nachtruhe",
            "[AUFGABE]\n"
            "Ratten auf dem Dachboden lassen den Erfinder nachts nicht schlafen.\n"
            "Zeit, ihnen einen ordentlichen Schrecken einzujagen.\n"
            "\n"
            "[ZIEL]\n"
            "Schleudern Sie den Tennisball von unten gegen die Decke,\n"
            "so dass das lose Brett unter dem Dachboden herunterf\xE4llt.\n"
            "\n"
            "[TIPPS]\n"
            "Die Sprungbretter lassen sich in alle Richtungen drehen.\n"
            "Den Tennisball k\xF6nnen Sie h\xF6her oder tiefer setzen.\n") {}

void Level03::build() {
    setCamera(Vector3(300.0f, 200.0f, 300.0f));
    auto* room = add(makeRoom(300.0f, 300.0f, 300.0f, false, Vector3(0.1f, 0.1f, 0.1f)));

    // The ball starts above the middle springboard, half as far from the
    // top one as the lowest: a degree of the first bounce's angle moves the
    // ball's landing on the top springboard half as far.
    add(put(new ObjectTennisball(true), Vector3(50.0f, -40.0f, 50.0f), kMoveY));
    auto* lowest = withMenuValue(new ObjectSprungbrett(true), "Edit Jump Power", Value::ofBool(false));
    add(put(lowest, Vector3(100.0f, -80.0f, 100.0f), kTurnXYZ));
    auto* middle = withMenuValue(new ObjectSprungbrett(true), "Edit Jump Power", Value::ofBool(false));
    // The two springboards' tilts win over a few degrees: their sliders span a quarter turn, a degree a click.
    add(turnRange(put(middle, Vector3(50.0f, -50.0f, 50.0f), kTurnXYZ), kTurnX | kTurnZ, -kEighthTurn, kEighthTurn));
    add(turnRange(put(new ObjectSprungbrett(true), Vector3(0.0f, -20.0f, 0.0f), kTurnXYZ), kTurnX | kTurnZ,
                  -kEighthTurn, kEighthTurn));
    // The attic: four walls and a lid, open below but for the loose board.
    add(put(new ObjectBrett3(true), Vector3(30.0f, 100.0f, 0.0f), Vector3(0.0f, 0.0f, kQuarter), kFixed));
    add(put(new ObjectBrett3(true), Vector3(-30.0f, 100.0f, 0.0f), Vector3(0.0f, 0.0f, -kQuarter), kFixed));
    add(put(new ObjectBrett3(true), Vector3(0.0f, 100.0f, 30.0f), Vector3(-kQuarter, 0.0f, 0.0f), kFixed));
    add(put(new ObjectBrett3(true), Vector3(0.0f, 100.0f, -30.0f), Vector3(kQuarter, 0.0f, 0.0f), kFixed));
    add(put(new ObjectBrett3(true), Vector3(0.0f, 133.0f, 0.0f), kFixed));
    // The loose board hangs under the attic on a last nail: it stays put
    // until the ball hits it, then it comes loose and falls (see update).
    // It is heavy: the ball's hit frees it rather than throwing it across
    // the room, so it comes down, not against a side wall.
    auto* loose = put(new ObjectBrett3(true), Vector3(0.0f, 70.0f, 0.0f), kSelect);
    loose->setPhysical(false, false, 40.0f, 0.3f, 0.5f, false);
    add(loose);
    settle();
    registerWinConditonHit(idOf(room), idOf(loose));
}

void Level03::update() {
    // The ball's hit pulls the last nail: from then on the board moves and
    // gravity takes it down, onto whatever lies below and to the floor.
    NSScene::Scene* s = scene();
    NodeGraphic* loose = nullptr;
    for (const LevelGoal& goal : goals) {
        if (!s)
            break;
        const bool roomFirst = dynamic_cast<ObjectRoom*>(s->findNode(static_cast<int>(goal.id1))) != nullptr;
        loose = dynamic_cast<NodeGraphic*>(s->findNode(static_cast<int>(roomFirst ? goal.id2 : goal.id1)));
        if (loose)
            break;
    }
    if (loose && !loose->isMoveable()) {
        const int board = loose->getId();
        for (const auto& hit : s->world().hits()) {
            const int other = hit.first == board ? hit.second : (hit.second == board ? hit.first : -1);
            if (other >= 0 && dynamic_cast<ObjectTennisball*>(s->findNode(other))) {
                loose->setMoveable(true);
                loose->addProperty(new NSPhysicsProperty::PhysicsPropertyGravity(1.0f));
                break;
            }
        }
    }
    Level::update();
}

// --- Level 4 -----------------------------------------------------------------

Level04::Level04()
    : Level("Schlag den Pogopuschl K.O.",
            "[AUFGABE]\n"
            "Im Keller des Erfinders haust ein seltsames Wesen: der Pogopuschl,\n"
            "ein gr\xFCner Tennisball mit eigenem Kopf. Er flieht vor dem Erfinder,\n"
            "wann immer der ihm zu nahe kommt.\n"
            "\n"
            "[ZIEL]\n"
            "Treffen Sie den Pogopuschl mit dem Basketball.\n"
            "\n"
            "[TIPPS]\n"
            "Drei Flie\xDF" "b\xE4nder sind ausgeschaltet. W\xE4hlen Sie eines aus\n"
            "und schalten Sie es im Men\xFC ein. Das mittlere l\xE4uft schon,\n"
            "aber mit Tempo 0: Es bremst, bis Sie ihm Tempo geben.\n"
            "Der Pogopuschl sp\xFCrt nur die Schwerkraft.\n") {}

void Level04::build() {
    setCamera(Vector3(300.0f, 200.0f, 300.0f));
    add(makeRoom(300.0f, 300.0f, 300.0f, true, Vector3(0.5f, 0.2f, 0.5f)));

    auto* ball = add(put(new ObjectBasketball(true), Vector3(100.0f, 10.0f, 100.0f), kMoveY));
    // The springboard's tilts span a quarter turn (a degree a click), the middle belt's heading a half turn from
    // -135 to 45 degrees (two a click): each wins over a few degrees.
    add(turnRange(put(new ObjectSprungbrett(true), Vector3(100.0f, -50.0f, 100.0f), kTurnXYZ), kTurnX | kTurnZ,
                  -kEighthTurn, kEighthTurn));
    auto* shortBelt = withMenuValue(new ObjectRollband1(true), "Enable Rollband", Value::ofBool(false));
    add(put(shortBelt, Vector3(50.0f, -40.0f, 50.0f), kTurnY | kTurnZ));
    auto* longBelt = withMenuValue(new ObjectRollband2(true), "Rollband Speed", Value::ofFloat(0.0f));
    add(turnRange(put(longBelt, Vector3(10.0f, -65.0f, 20.0f), kMoveZ | kTurnX | kTurnY), kTurnY,
                  -kQuarterTurn - kEighthTurn, kEighthTurn));
    auto* backBelt = withMenuValue(new ObjectRollband2(true), "Enable Rollband", Value::ofBool(false));
    add(put(backBelt, Vector3(-56.0f, -65.0f, -30.0f), Vector3(0.0f, kHalf, 0.0f), kTurnX));
    auto* freeBelt = withMenuValue(new ObjectRollband1(true), "Enable Rollband", Value::ofBool(false));
    add(put(freeBelt, Vector3(100.0f, -40.0f, -100.0f), kAllButScaling));
    add(put(new ObjectSprungbrett(true), Vector3(-100.0f, -80.0f, -100.0f), kFixed));
    add(put(new ObjectBrett3(true), Vector3(-100.0f, -40.0f, -120.0f), Vector3(kQuarter, 0.0f, 0.0f), kFixed));

    // The creature feels gravity and nothing else.
    auto* creature = new ObjectTennisball(true);
    creature->clearProperties();
    creature->addProperty(new NSPhysicsProperty::PhysicsPropertyGravity(true));
    creature->setName("Pogopuschl");
    add(put(creature, Vector3(-100.0f, -72.0f, -100.0f), kSelect));

    // A shelf structure above the creature.
    add(put(new ObjectBrett1(true), Vector3(-108.0f, 80.0f, -100.0f), Vector3(0.0f, 0.0f, kQuarter), kFixed));
    add(put(new ObjectBrett1(true), Vector3(-92.0f, 80.0f, -100.0f), Vector3(0.0f, 0.0f, -kQuarter), kFixed));
    add(put(new ObjectBrett1(true), Vector3(-100.0f, 110.0f, -100.0f), Vector3(0.0f, 0.0f, 0.785f), kFixed));
    add(put(new ObjectBrett3(true), Vector3(-62.0f, 95.0f, -100.0f), kFixed));
    add(put(new ObjectBrett1(true), Vector3(-32.0f, 80.0f, -100.0f), Vector3(0.0f, 0.0f, kQuarter), kFixed));
    add(put(new ObjectBrett1(true), Vector3(-2.0f, 80.0f, -100.0f), Vector3(0.0f, 0.0f, -kQuarter), kFixed));
    add(put(new ObjectBrett1(true), Vector3(-2.0f, 110.0f, -100.0f), Vector3(0.0f, 0.0f, -kQuarter), kFixed));
    add(put(new ObjectBrett1(true), Vector3(-17.0f, 65.0f, -100.0f), kFixed));

    settle();
    registerWinConditonHit(idOf(ball), idOf(creature));
}

// --- Level 5 -----------------------------------------------------------------

Level05::Level05()
    : Level("Her mit den B\xE4llen!",
            "[AUFGABE]\n"
            "Beim Spielen sind f\xFCnf Tennisb\xE4lle oben auf dem Schrank gelandet.\n"
            "Der Erfinder kommt nicht heran.\n"
            "\n"
            "[ZIEL]\n"
            "Schaffen Sie alle f\xFCnf Tennisb\xE4lle vom Schrank: mit der Bowlingkugel\n"
            "oder mit Sprungbrettern, die einen Ball wegwerfen.\n"
            "\n"
            "[TIPPS]\n"
            "Auch ein Sprungbrett kann einen Ball vom Schrank sto\xDF" "en: hoch und\n"
            "steil neben ihn gestellt, trifft es ihn, wenn er herunterf\xE4llt.\n"
            "Ein ausgew\xE4hltes Objekt, das sich auf allen drei Achsen bewegen\n"
            "l\xE4sst, k\xF6nnen Sie auch mit gedr\xFC" "ckter STRG-Taste und einem\n"
            "Mausklick platzieren, allerdings nur auf anderen Objekten.\n") {}

void Level05::build() {
    setCamera(Vector3(200.0f, 200.0f, 200.0f));
    auto* room = add(makeRoom(300.0f, 300.0f, 400.0f, false));

    // The cabinet: a heavy top on four legs, none of which ever moves.
    auto* top = put(new ObjectBrett3(true), Vector3(0.0f, -50.0f, 0.0f), kFixed);
    top->setPhysical(false, false, 30.0f, 1.0f, 0.0f, false);
    add(top);
    for (const Vector3& at : {Vector3(-30.0f, -50.0f, -30.0f), Vector3(30.0f, -50.0f, -30.0f),
                              Vector3(-30.0f, -50.0f, 30.0f), Vector3(30.0f, -50.0f, 30.0f)}) {
        auto* leg = put(new ObjectBrett1(true), at, kFixed);
        leg->setPhysical(false, false, 10.0f, 1.0f, 0.0f, false);
        add(leg);
    }
    // The three balls on the bowling ball's diagonal are twice the size and
    // lie still on the top: the rolling bowling ball meets them at their
    // middle instead of pressing them into the top. The two on the other
    // corners drop onto the top, where the springboards catch them.
    std::vector<NodeGraphic*> balls;
    for (const Vector3& at : {Vector3(10.0f, kBigBallRest, 10.0f), Vector3(30.0f, kBigBallRest, 30.0f),
                              Vector3(30.0f, -40.0f, -30.0f), Vector3(-30.0f, -40.0f, 30.0f),
                              Vector3(-10.0f, kBigBallRest, -10.0f)}) {
        auto* ball = new ObjectTennisball(true);
        if (at.y == kBigBallRest)
            ball->setScale(2.0f);
        put(ball, at, kSelect);
        ball->setPhysical(true, false, ball->getMass(), 1.0f, 0.0f, false);
        balls.push_back(add(ball));
    }
    add(put(new ObjectBowlingball(true), Vector3(-90.0f, 0.0f, -90.0f), kMoveY));
    // The player's tools lie on the floor along the left wall, in view.
    for (float z : {15.0f, 55.0f, 95.0f, 135.0f})
        // Their headings and tilts span a half turn, two degrees a click: the throws win over a few degrees.
        add(turnRange(put(new ObjectSprungbrett(true), Vector3(-125.0f, kFloorRest, z), kAllButScaling),
                      kTurnY | kTurnZ, -kQuarterTurn, kQuarterTurn));
    add(put(new ObjectBrett1(true), Vector3(-75.0f, -146.0f, 95.0f), kAllButScaling));

    settle();
    for (NodeGraphic* ball : balls)
        registerWinConditonHit(idOf(room), idOf(ball));
}

// --- Level 6 -----------------------------------------------------------------

Level06::Level06()
    : Level("RUTSCHPARTIE", "[ZIEL]\n"
                            "Sorgen sie daf\xFCr, dass der Tennisball die ganze Bahn runter rollt\n"
                            "und in den Korb f\xE4llt.\n") {}

void Level06::build() {
    setCamera(Vector3(200.0f, 200.0f, 200.0f));
    add(makeRoom(300.0f, 300.0f, 400.0f, false));

    // White flakes drifting down from above the ceiling, small and fading in
    // and out, so that they never hide the ball (they were as big as it).
    auto* snow = new NSParticle::ObjectParticleSystemTexture(true);
    configureStream(snow, Vector3(300.0f, 1.0f, 300.0f), Vector3(1.0f, 1.0f, 1.0f), 8.0f);
    snow->particleSize = 2.5f;
    snow->alphaFadeBegin = 0.25f;
    add(put(snow, Vector3(0.0f, 200.0f, 0.0f), Vector3(kQuarter, 0.0f, 0.0f), kFixed));

    // The slide: three sections, each with a wall on either side. The second starts 10 units below the first's
    // end: the fans lift the ball over the gap onto it over a range of their tilts, not at a knife's edge.
    struct Section {
        Vector3 position;
        Vector3 rotation;
        float wallHeight;
    };
    const Section sections[3] = {{Vector3(0.0f, 0.0f, -110.0f), Vector3(0.1f, 0.0f, 0.0f), 0.0f},
                                 {Vector3(0.0f, -10.0f, 0.0f), Vector3(0.0f, 0.0f, 0.0f), 0.0f},
                                 {Vector3(0.0f, -50.0f, 60.0f), Vector3(0.2f, kQuarter, 0.0f), 4.0f}};
    NodeGraphic* slide[3];
    for (int i = 0; i < 3; ++i) {
        slide[i] = new ObjectBrett2(true);
        addTo(slide[i], put(new ObjectBrett2(true), Vector3(10.0f, sections[i].wallHeight, 0.0f),
                            Vector3(0.0f, 0.0f, kQuarter), kFixed));
        addTo(slide[i], put(new ObjectBrett2(true), Vector3(-10.0f, sections[i].wallHeight, 0.0f),
                            Vector3(0.0f, 0.0f, -kQuarter), kFixed));
        add(put(slide[i], sections[i].position, sections[i].rotation, kFixed));
    }

    auto* ball = add(put(new ObjectTennisball(true), Vector3(0.0f, 20.0f, -140.0f), kSelect));
    add(put(new ObjectVentilator(true), Vector3(30.0f, -50.0f, -50.0f), kTurnXYZ));
    add(put(new ObjectVentilator(true), Vector3(-30.0f, -50.0f, -50.0f), kTurnXYZ));
    add(put(new ObjectBrett1(true), Vector3(0.0f, 20.0f, 75.0f), Vector3(kQuarter, 0.0f, 0.0f),
            kMoveY | kMoveZ | kTurnX));
    add(put(new ObjectRollband2(true), Vector3(75.0f, -75.0f, 40.0f), Vector3(-0.2f, kHalf, 0.0f), kSelect));
    add(put(new ObjectRollband2(true), Vector3(75.0f, -70.0f, -60.0f), Vector3(-0.2f, kHalf, 0.0f), kSelect));
    add(put(new ObjectBrett1(true), Vector3(91.0f, 0.0f, 0.0f), Vector3(0.0f, 0.0f, kQuarter), kMoveXYZ));

    // The basket: a floor with four walls.
    auto* basket = new ObjectBrett1(true);
    const Vector3 walls[4][2] = {{Vector3(0.0f, 5.0f, -15.0f), Vector3(kQuarter, 0.0f, 0.0f)},
                                 {Vector3(0.0f, 5.0f, 15.0f), Vector3(-kQuarter, 0.0f, 0.0f)},
                                 {Vector3(15.0f, 5.0f, 0.0f), Vector3(0.0f, 0.0f, kQuarter)},
                                 {Vector3(-15.0f, 5.0f, 0.0f), Vector3(0.0f, 0.0f, -kQuarter)}};
    add(put(basket, Vector3(75.0f, -100.0f, -110.0f), kFixed));
    for (const auto& wall : walls)
        addTo(basket, put(new ObjectBrett1(true), wall[0], wall[1], kFixed));

    settle();
    for (NodeGraphic* section : slide)
        registerWinConditonHit(idOf(ball), idOf(section));
    registerWinConditonHit(idOf(ball), idOf(basket));
}

// --- The sandbox ---------------------------------------------------------------

LevelLast::LevelLast()
    : Level("", "GRATULATION!\n"
                "Sie haben alle Level geschafft.\n"
                "Aber keine Panik! Es werden bald noch weitere Level kommen.\n"
                "Hier k\xF6nnen Sie sich noch ein bisschen rumprobieren mit den verschiedenen Objekten.\n") {}

void LevelLast::build() {
    setCamera(Vector3(0.0f, 200.0f, 300.0f));
    add(makeRoom(300.0f, 300.0f, 300.0f, true, Vector3(0.6f, 0.6f, 0.6f)));

    add(put(new ObjectTennisball(true), Vector3(-50.0f, 0.0f, -50.0f), kAll));
    add(put(new ObjectTennisball(true), Vector3(120.0f, 0.0f, 100.0f), kAll));
    add(put(new ObjectBowlingball(true), Vector3(140.0f, 0.0f, 100.0f), kAll));
    add(put(new ObjectSprungbrett(true), Vector3(-50.0f, -100.0f, -50.0f), kAll));
    add(put(withMenuValue(new ObjectRollband1(true), "Enable Rollband", Value::ofBool(false)),
            Vector3(50.0f, -40.0f, 50.0f), kAll));
    add(put(withMenuValue(new ObjectRollband2(true), "Rollband Speed", Value::ofFloat(0.0f)),
            Vector3(10.0f, -65.0f, 20.0f), kAll));
    add(put(new ObjectVentilator(true), Vector3(-50.0f, -50.0f, -80.0f), kAll));
    add(put(new ObjectBrett1(true), Vector3(-50.0f, 30.0f, -50.0f), kAll));
    add(put(new ObjectBrett2(true), Vector3(-50.0f, 60.0f, -50.0f), kAll));
    add(put(new ObjectBrett3(true), Vector3(-50.0f, 90.0f, -50.0f), kAll));
    settle();
}

Level* builtInLevelTitled(const std::vector<Level*>& levels, const std::string& name) {
    for (Level* level : levels)
        if (!name.empty() && level->getName() == name)
            return level;
    return nullptr;
}

std::vector<Level*> makeBuiltInLevels() {
    return {new Level01(), new Level02(), new Level03(), new Level04(),
            new Level05(), new Level06(), new Level07(), new Level08(),
            new Level09(), new Level10(), new Level11(), new Level12(),
            new LevelLast()};
}

} // namespace NSLevel
