#include <gtest/gtest.h>

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "persistence/RecordIO.h"
#include "physics/ControllerPhysics.h"
#include "physics/PhysicsCatalogue.h"
#include "physics/NodePhysical.h"
#include "physics/effects/PhysicsConstantMovement.h"
#include "physics/effects/PhysicsElectricity.h"
#include "physics/effects/PhysicsFriction.h"
#include "physics/effects/PhysicsGravity.h"
#include "physics/effects/PhysicsTemperature.h"
#include "physics/effects/PhysicsLight.h"
#include "physics/effects/PhysicsMagnetic.h"
#include "physics/effects/PhysicsWind.h"
#include "physics/properties/PhysicsPropertyElectricity.h"
#include "scenegraph/BoundingVolume.h"
#include "scenegraph/ControllerNode.h"
#include "support/GlContext.h"

using NSMenu::MenuEntry;
using NSMenu::Value;
using NSNode::BoundingVolume;
using NSNode::NodePhysical;
using NSPhysical::ControllerPhysics;
using NSPhysical::Physics;
using NSPhysical::PhysicsProperty;
using namespace NSPhysics;

namespace {

constexpr float kQuarterTurn = 1.5707964f;

const NSPhysical::PhysicsCatalogue& registry() { return NSPhysical::PhysicsCatalogue::get(); }

std::unique_ptr<NodePhysical> bodyAt(Vector3 p, float mass = 1.0f, Vector3 velocity = Vector3()) {
    auto b = std::make_unique<NodePhysical>(true);
    b->setPosition(p);
    b->setMass(mass);
    b->setVelocity(velocity);
    b->setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(), 1.0f));
    return b;
}

// The property that pairs with effect, by the shared names.
PhysicsProperty* matchingProperty(Physics* effect, float effectivity) {
    PhysicsProperty* p = registry().createProperty(registry().physicsName(effect->classId()));
    p->setEffectivity(effectivity);
    return p;
}

void expectNear(const Vector3& expected, const Vector3& actual, const std::string& what) {
    EXPECT_LE((expected - actual).length(), 1e-4f * (1.0f + expected.length()))
        << what << ": got " << actual.x << ", " << actual.y << ", " << actual.z;
}

template <class T>
T* with(T* effect, const std::function<void(T*)>& set) {
    set(effect);
    return effect;
}

// Writes object to a scratch file and reads it back through the factory.
template <class T>
std::unique_ptr<T> roundTrip(NSSerialize::Serializeable& object) {
    const std::string path = testing::TempDir() + "effects.rec";
    {
        NSSerialize::SerialStream out(path, true);
        NSSerialize::writeElement(out, "[phyO]", object);
        EXPECT_TRUE(out.close());
    }
    NSSerialize::SerialStream in(path, false);
    std::unique_ptr<T> read(NSSerialize::readElement<T>(in));
    EXPECT_FALSE(in.failed());
    std::remove(path.c_str());
    return read;
}

} // namespace

TEST(EffectForceLaws, EachLawScalesWithEffectivityAndNeedsItsOwnProperty) {
    struct Case {
        const char* name;
        std::function<Physics*()> make;
        Vector3 bodyPosition;
        float mass;
        Vector3 velocity, ownerRotation, expected; // the force at effectivity 1
    };
    const Case cases[] = {
        {"gravity along a direction (not normalised)", [] { return new PhysicsGravity(0, -2, 0, 9.81f); },
         Vector3(), 2, Vector3(), Vector3(), Vector3(0, -196.2f, 0)},
        {"point gravity, 10 away: 1000 / 100", [] { return new PhysicsGravity(true); }, Vector3(10, 0, 0), 2,
         Vector3(), Vector3(), Vector3(-1962, 0, 0)},
        {"directional magnet ignores mass",
         [] { return with<PhysicsMagnetic>(new PhysicsMagnetic(true),
                                           [](auto* m) { m->setPointMode(false); m->setStrength(2); }); },
         Vector3(), 2, Vector3(), Vector3(), Vector3(20, 0, 0)},
        {"point magnet, 20 away: 1000 / 400", [] { return new PhysicsMagnetic(true); }, Vector3(0, 20, 0), 2,
         Vector3(), Vector3(), Vector3(0, -25, 0)},
        {"default friction at 10 per second", [] { return new PhysicsFriction(true); }, Vector3(), 2,
         Vector3(10, 0, 0), Vector3(), Vector3(-10, 0, 0)},
        {"linear and quadratic friction", [] { return new PhysicsFriction(0.1f, 0.4f); }, Vector3(), 2,
         Vector3(0, 3, 4), Vector3(), Vector3(0, -6, -8)},
        {"friction at rest", [] { return new PhysicsFriction(0.5f, 0.5f); }, Vector3(), 1, Vector3(), Vector3(),
         Vector3()},
        {"wind ignores mass", [] { return new PhysicsWind(5.0f); }, Vector3(), 7, Vector3(), Vector3(),
         Vector3(1, 0, 0)},
        {"wind turns with its owner", [] { return new PhysicsWind(5.0f); }, Vector3(), 1, Vector3(),
         Vector3(0, 0, kQuarterTurn), Vector3(0, 1, 0)},
        {"heat along the own x axis, direction unused",
         [] { return with<PhysicsHeat>(new PhysicsHeat(true),
                                       [](auto* h) { h->setIntensity(3); h->setForceDirection(Vector3(0, 0, 1)); }); },
         Vector3(), 1, Vector3(), Vector3(), Vector3(3, 0, 0)},
        {"cold", [] { return with<PhysicsCold>(new PhysicsCold(true), [](auto* c) { c->setIntensity(-2); }); },
         Vector3(), 1, Vector3(), Vector3(), Vector3(-2, 0, 0)},
        {"light, 5 away: 1 / 25",
         [] { return with<PhysicsLight>(new PhysicsLight(true), [](auto* l) { l->setIntensity(100); }); },
         Vector3(0, 0, 5), 1, Vector3(), Vector3(), Vector3(4, 0, 0)},
        {"constant movement drives along z", [] { return new PhysicsConstantMovement(true); }, Vector3(), 2,
         Vector3(), Vector3(), Vector3(0, 0, 2)},
    };
    for (const Case& c : cases) {
        NodePhysical owner(true);
        owner.setRotation(c.ownerRotation);
        Physics* effect = c.make();
        owner.addPhysics(effect);
        auto body = bodyAt(c.bodyPosition, c.mass, c.velocity);
        for (float eff : {1.0f, 0.5f, 0.0f}) {
            std::unique_ptr<PhysicsProperty> property(matchingProperty(effect, eff));
            expectNear(c.expected * eff, effect->computeForce(body.get(), property.get()),
                       std::string(c.name) + " at effectivity " + std::to_string(eff));
        }
        for (const auto& type : registry().getPropertyTypes()) {
            std::unique_ptr<PhysicsProperty> other(registry().createProperty(type.first));
            if (other->kind() != effect->kind()) {
                EXPECT_EQ(Vector3(), effect->computeForce(body.get(), other.get())) << c.name << " " << type.first;
            }
        }
        EXPECT_EQ(Vector3(), effect->computeForce(body.get(), nullptr)) << c.name;
    }
}

TEST(EffectForceLaws, EveryEffectActsOnlyInsideAVolumeItWasGiven) {
    for (const auto& type : registry().getPhysicsTypes()) {
        NodePhysical owner(true);
        Physics* effect = registry().createPhysics(type.first);
        owner.addPhysics(effect);
        auto body = bodyAt(Vector3(5, 0, 0), 1.0f, Vector3(1, 0, 0));
        body->addProperty(registry().createProperty(type.first));

        body->applyForces(0.5f); // a new effect has no volume yet
        EXPECT_EQ(Vector3(1, 0, 0), body->getVelocity()) << type.first;

        EXPECT_TRUE(effect->setMenuValue("Volume-Sphere", Value()));
        EXPECT_TRUE(effect->setMenuValue("Sphere-Radius", Value::ofFloat(20)));
        EXPECT_TRUE(effect->setMenuValue("Create Volume", Value()));
        body->setPosition(Vector3(100, 0, 0));
        body->applyForces(0.5f);
        EXPECT_EQ(Vector3(1, 0, 0), body->getVelocity()) << type.first << " out of reach";

        body->setPosition(Vector3(5, 0, 0));
        NSNode::ControllerNode::inUse().clearHits();
        body->applyForces(0.5f);
        // Every acting effect records the pair; all but the electricity store (energy only) push.
        const auto& hits = NSNode::ControllerNode::inUse().hits();
        EXPECT_EQ(1u, hits.size()) << type.first << " inside";
        if (type.first != "Electricity") {
            EXPECT_NE(Vector3(1, 0, 0), body->getVelocity()) << type.first << " inside";
        }
        NSNode::ControllerNode::inUse().clearHits();
    }
}

TEST(EffectForceLaws, ConstantMovementReachesItsSpeedAndKeepsTheFall) {
    const struct { Vector3 ownerRotation; float effectivity; Vector3 finalVelocity; } cases[] = { // the upward 5 stays
        {Vector3(), 1.0f, Vector3(0, 5, 1)},
        {Vector3(), 0.5f, Vector3(0, 5, 0.5f)},
        {Vector3(0, kQuarterTurn, 0), 1.0f, Vector3(1, 5, 0)}, // z turned onto x
    };
    for (const auto& c : cases) {
        NodePhysical belt(true);
        belt.setRotation(c.ownerRotation);
        auto* drive = new PhysicsConstantMovement(true);
        drive->setBoundingVolume(BoundingVolume::makeUnboundedVolume());
        belt.addPhysics(drive);
        auto body = bodyAt(Vector3(), 3.0f, Vector3(2, 5, -2));
        body->addProperty(matchingProperty(drive, c.effectivity));
        for (int i = 0; i < 1000; ++i)
            body->applyForces(0.01f);
        expectNear(c.finalVelocity, body->getVelocity(), "rotation y " + std::to_string(c.ownerRotation.y));
    }
}

// Inside the owner's and the body's spheres (3.3 each) the point laws are softened: never more than where the two
// meet, nothing at the centre (nor on the owner itself), finite everywhere. A tennis ball let go inside the
// strongest point magnet never passes the top speed.
TEST(EffectForceLaws, PointLawsAreSoftenedInsideTheBodiesAndNoBodyPassesTheTopSpeed) {
    const std::function<Physics*()> makers[] = {
        [] { return new PhysicsGravity(true); },
        [] { return with<PhysicsMagnetic>(new PhysicsMagnetic(true), [](auto* m) { m->setStrength(100); }); },
        [] { return with<PhysicsLight>(new PhysicsLight(true), [](auto* l) { l->setIntensity(100); }); }};
    for (const auto& make : makers) {
        NodePhysical owner(true);
        owner.setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(), 3.3f));
        Physics* effect = make();
        effect->setBoundingVolume(BoundingVolume::makeUnboundedVolume());
        owner.addPhysics(effect);
        auto ball = [&](float d) { // a tennis ball's size and mass, d from the owner's centre
            auto body = bodyAt(Vector3(d, 0, 0), 0.06f);
            body->setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(), 3.3f));
            body->addProperty(matchingProperty(effect, 1.0f));
            return body;
        };
        auto force = [&](float d) { return effect->computeForce(ball(d).get(), ball(d)->getProperties()[0]).length(); };
        const float meet = force(6.6f);
        EXPECT_TRUE(meet > 0.0f && force(0.0f) == 0.0f) << effect->classId();
        for (float d : {0.5f * Physics::kMinPointDistance, 0.01f, 1.0f, 3.3f, 6.5f})
            EXPECT_TRUE(std::isfinite(force(d)) && force(d) <= meet * 1.0001f) << effect->classId() << " at " << d;
        owner.addProperty(matchingProperty(effect, 1.0f));
        owner.applyForces(1.0f);
        EXPECT_EQ(Vector3(), owner.getVelocity()) << effect->classId();
        auto flung = ball(1.0f);
        float fastest = 0.0f;
        for (int step = 0; step < 600; ++step, fastest = std::max(fastest, flung->getVelocity().length()))
            flung->simulate(1.0f / 120.0f);
        EXPECT_LE(fastest, 2000.0f) << effect->classId();
    }
}

// A drag never turns a body round, nor stops it in one step, whatever its values and the speed; at ordinary
// speeds it takes what its law gives.
TEST(EffectForceLaws, DragNeverReversesAVelocity) {
    const struct { float linear, quadratic, speed; } cases[] = {
        {0.05f, 0, 100}, {0.05f, 0, 1600}, {1, 1, 20}, {1, 1, 1600}, {0, 0.05f, 2000}, {0, 1, 2000}};
    for (const auto& c : cases) {
        NodePhysical room(true);
        auto* drag = new PhysicsFriction(c.linear, c.quadratic);
        drag->setBoundingVolume(BoundingVolume::makeUnboundedVolume());
        room.addPhysics(drag);
        auto body = bodyAt(Vector3(), 1.0f, Vector3(c.speed, 0, 0));
        body->addProperty(matchingProperty(drag, 1.0f));
        body->applyForces(1.0f / 120.0f);
        const float after = body->getVelocity().x, law = (0.05f * c.quadratic * c.speed + c.linear) * c.speed / 120.0f;
        EXPECT_TRUE(after > 0.0f && after < c.speed) << c.linear << " " << c.quadratic << " at " << c.speed;
        EXPECT_NEAR(after, law <= 0.5f ? c.speed * (1.0f - law) : c.speed / (4.0f * law), 1e-4f * c.speed);
    }
}

TEST(EffectElectricity, StoreServesConsumersFromItsFreeEnergy) {
    NodePhysical a(true);
    using NSPhysicsProperty::PhysicsPropertyElectricity;
    PhysicsPropertyElectricity uses30(1.0f, 30.0f);

    // No refresh: 30, then 0 (it gives back the 30 it holds), then 30 again.
    PhysicsElectricity store(true);
    const float draws[][3] = {{30, 70, 30}, {0, 70, 0}, {30, 40, 30}}; // drawn, energy, used
    for (const auto& d : draws) {
        EXPECT_EQ(Vector3(1, 30, d[0]), store.computeForce(&a, &uses30));
        EXPECT_EQ(d[1], store.getEnergy());
        EXPECT_EQ(d[2], store.getUsed());
    }
    EXPECT_EQ(1u, store.getConsumers().size());

    // A minimum use at or above the free energy draws nothing and registers nobody.
    PhysicsElectricity small(100, 10, false);
    PhysicsPropertyElectricity greedy(10.0f, 5.0f);
    EXPECT_EQ(0.0f, small.computeForce(&a, &greedy).z);
    EXPECT_TRUE(small.getConsumers().empty());
    greedy.setMinUse(9.5f);
    EXPECT_EQ(5.0f, small.computeForce(&a, &greedy).z);
    EXPECT_EQ(5.0f, small.getEnergy());
    EXPECT_EQ(Vector3(), small.computeForce(&a, nullptr));

    // A store asked for more than it has gives what is left, in whole units.
    PhysicsElectricity scarce(100, 20.5f, false);
    EXPECT_EQ(20.0f, scarce.computeForce(&a, &uses30).z);
}

TEST(EffectElectricity, RefreshKeepsTheStoreBetweenZeroAndItsMaximum) {
    NodePhysical a(true);
    NSPhysicsProperty::PhysicsPropertyElectricity uses30(1.0f, 30.0f);
    PhysicsElectricity store(true);
    store.setRefreshEnabled(true);
    store.configure(50, 20); // energy 100 is lowered to the new maximum
    EXPECT_EQ(50.0f, store.getEnergy());
    EXPECT_EQ(30.0f, store.computeForce(&a, &uses30).z);
    EXPECT_EQ(50.0f, store.getEnergy()); // with refresh, draws are only booked as used
    EXPECT_EQ(30.0f, store.getUsed());

    const struct {
        float energy, refresh, dt, after;
    } steps[] = {{10, 20, 0.25f, 15}, {45, 20, 1.0f, 50}, {10, -100, 1.0f, 0}};
    for (const auto& s : steps) {
        store.setEnergy(s.energy);
        store.configure(50, s.refresh);
        store.finishStep(s.dt);
        EXPECT_EQ(s.after, store.getEnergy()) << s.energy << " " << s.refresh;
    }
    store.setRefreshEnabled(false);
    store.finishStep(1.0f);
    EXPECT_EQ(0.0f, store.getEnergy());
}

TEST(EffectElectricity, OverloadBreaksTheStoreDownOnlyWhenAskedTo) {
    NodePhysical a(true), b(true);
    NSPhysicsProperty::PhysicsPropertyElectricity uses30(1.0f, 30.0f);
    for (bool breakdown : {true, false}) {
        // Without refresh the second consumer takes the store below zero free energy.
        PhysicsElectricity store(100, 100, breakdown);
        EXPECT_EQ(30.0f, store.computeForce(&a, &uses30).z);
        EXPECT_EQ(30.0f, store.computeForce(&b, &uses30).z);
        EXPECT_EQ(breakdown, store.isBrokenDown());
        EXPECT_EQ(breakdown, store.computeForce(&a, &uses30) == Vector3()) << breakdown;
        // A file or a copy brings a working store back.
        std::unique_ptr<PhysicsElectricity> copy(static_cast<PhysicsElectricity*>(store.clone()));
        EXPECT_TRUE(!copy->isBrokenDown() && copy->getConsumers().empty() && copy->getUsed() == 0.0f);
    }
}

TEST(EffectRecords, EveryEffectKeepsItsValuesThroughFilesAndCopies) {
    for (const auto& type : registry().getPhysicsTypes()) {
        std::unique_ptr<Physics> effect(registry().createPhysics(type.first));
        ASSERT_NE(nullptr, effect) << type.first;
        effect->setMenuValue("Volume-Box", Value());
        effect->setMenuValue("Box-Length", Value::ofFloat(12));
        effect->setMenuValue("Create Volume", Value());
        // Every value the menu offers is moved away from its default.
        std::vector<MenuEntry> entries;
        effect->getMenuEntries(entries, true);
        int i = 0;
        for (const MenuEntry& e : entries) {
            if (e.owner != effect.get())
                continue;
            if (e.type == NSMenu::TYPE_BOOL && e.kind == NSMenu::KIND_BOOL)
                effect->setMenuValue(e.label, Value::ofBool(!e.value.boolValue));
            if (e.type == NSMenu::TYPE_FLOAT) {
                auto* range = static_cast<NSMenu::ValueConstraintRange*>(e.constraint.get());
                float frac = 0.6f + 0.01f * static_cast<float>(++i);
                float value = range->floatMin + frac * (range->floatMax - range->floatMin);
                effect->setMenuValue(e.label, Value::ofFloat(value));
            }
        }
        std::map<std::string, Value> shown;
        entries.clear();
        effect->getMenuEntries(entries, true);
        for (const MenuEntry& e : entries)
            if (e.owner == effect.get())
                shown[e.label] = effect->getMenuValue(e.label);

        std::unique_ptr<Physics> read = roundTrip<Physics>(*effect);
        std::unique_ptr<Physics> copy(static_cast<Physics*>(effect->clone()));
        for (Physics* other : {read.get(), copy.get()}) {
            ASSERT_NE(nullptr, other) << type.first;
            EXPECT_EQ(effect->classId(), other->classId());
            EXPECT_EQ(nullptr, other->getOwner());
            for (const auto& s : shown) {
                Value v = other->getMenuValue(s.first);
                EXPECT_TRUE(v.floatValue == s.second.floatValue && v.boolValue == s.second.boolValue &&
                            v.stringValue == s.second.stringValue) << type.first << " " << s.first;
            }
            ASSERT_EQ(1u, other->getBoundingVolume()->getVolumes().size());
            EXPECT_NE(nullptr, dynamic_cast<BoundingVolume::Box*>(other->getBoundingVolume()->getVolumes()[0]));
        }
        EXPECT_EQ(effect->getId(), read->getId());
        EXPECT_NE(effect->getId(), copy->getId());
    }
}

class EffectDraw : public qbntest::GlTest {};
