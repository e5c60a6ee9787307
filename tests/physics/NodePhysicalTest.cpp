#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

#include "persistence/FileScratch.h"
#include "persistence/RecordIO.h"
#include "persistence/SerialStream.h"
#include "physics/Constraint.h"
#include "physics/ControllerPhysics.h"
#include "physics/NodePhysical.h"
#include "physics/Physics.h"
#include "physics/PhysicsProperty.h"
#include "physics/effects/PhysicsElectricity.h"
#include "physics/properties/PhysicsPropertyElectricity.h"
#include "physics/TestForces.h"
#include "physics/TurnRange.h"
#include "scenegraph/BoundingVolume.h"
#include "scenegraph/ControllerNode.h"
#include "support/LogCapture.h"

using NSNode::BoundingVolume;
using NSNode::ControllerNode;
using NSNode::NodePhysical;
using NSPhysical::ControllerPhysics;
using NSPhysical::Physics;
using NSPhysical::PhysicsProperty;

using namespace qbntest;

namespace {

QBN_REGISTER_CLASS(kTestPushId, TestPush)
QBN_REGISTER_CLASS(kTestReceptorId, TestReceptor)

NodePhysical* body(float mass) {
    auto* b = new NodePhysical(true);
    b->setMass(mass);
    b->setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(), 1.0f));
    return b;
}

} // namespace

TEST(PhysicsStep, ForcesOfMatchingEffectsChangeTheVelocity) {
    NodePhysical source(true);
    source.addPhysics(globalPush(Vector3(10, 0, 0)));

    // One push per matching property; none without (and no damping either).
    std::unique_ptr<NodePhysical> one;
    for (int properties : {0, 2, 1}) {
        one.reset(body(2.0f));
        for (int i = 0; i < properties; ++i)
            one->addProperty(new TestReceptor(true));
        one->applyForces(0.5f);
        EXPECT_EQ(one->getVelocity(), Vector3(2.5f * static_cast<float>(properties), 0, 0)) << properties;
    }

    // Every effect found acting records the touching pair for the goal check.
    ControllerNode::inUse().clearHits();
    one->applyForces(0.5f);
    const std::vector<std::pair<int, int>> pair(1, {source.getPhysics()[0]->getId(), one->getId()});
    EXPECT_EQ(ControllerNode::inUse().hits(), pair);
}

TEST(PhysicsStep, DisabledDetachedAndOutOfReachEffectsDoNotAct) {
    NodePhysical source(true);
    TestPush* push = globalPush(Vector3(10, 0, 0));
    source.addPhysics(push);
    std::unique_ptr<NodePhysical> b(body(1.0f));
    b->addProperty(new TestReceptor(true));

    push->setEnabled(false);
    b->applyForces(1.0f);
    EXPECT_EQ(b->getVelocity().x, 0.0f);
    push->setEnabled(true);

    source.removePhysics(push);
    b->applyForces(1.0f);
    EXPECT_TRUE(push->getOwner() == nullptr && b->getVelocity().x == 0.0f);

    // An influence volume that does not reach the body.
    push->setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(), 1.0f));
    push->setPosition(Vector3(50, 0, 0));
    source.addPhysics(push);
    b->applyForces(1.0f);
    EXPECT_EQ(b->getVelocity().x, 0.0f) << "out of reach";
    push->setPosition(Vector3(1.5f, 0, 0));
    b->applyForces(1.0f);
    EXPECT_EQ(b->getVelocity().x, 10.0f);

    // Destroying the owner takes its effects out of the registry.
    std::unique_ptr<NodePhysical> owner(new NodePhysical(true));
    owner->addPhysics(globalPush(Vector3(1, 0, 0)));
    size_t registered = ControllerPhysics::of(ControllerNode::inUse()).effectsOfKind(0).size();
    owner.reset();
    EXPECT_EQ(ControllerPhysics::of(ControllerNode::inUse()).effectsOfKind(0).size(), registered - 1);
}

TEST(PhysicsStep, SlowBodiesStayPutAndSpinningBodiesTurn) {
    std::unique_ptr<NodePhysical> slow(body(1.0f));
    slow->setVelocity(Vector3(0.09f, 0, 0));
    slow->simulate(1.0f);
    EXPECT_EQ(slow->getPosition(), Vector3());

    std::unique_ptr<NodePhysical> moving(body(1.0f));
    moving->setVelocity(Vector3(0, 0.1f, 0));
    moving->simulate(2.0f);
    EXPECT_FLOAT_EQ(moving->getPosition().y, 0.2f);
    EXPECT_TRUE(moving->wasMovedThisStep());
    moving->finishStep(2.0f);
    EXPECT_FALSE(moving->wasMovedThisStep());
    moving->setVelocity(Vector3(0, 3000, 4000));
    EXPECT_NEAR(moving->getVelocity().length(), 2000.0f, 0.01f) << "no body is faster than the top speed";

    std::unique_ptr<NodePhysical> spinning(body(1.0f));
    spinning->setAngularVelocity(Vector3(0, 1.0f, 0));
    spinning->simulate(0.5f);
    EXPECT_FLOAT_EQ(spinning->getRotation().y, 0.5f);
}

TEST(PhysicsStep, ZeroMassCountsAsTheLightestBodyAndNeverBecomesNaN) {
    NodePhysical source(true);
    TestPush* push = globalPush(Vector3(0.01f, 0, 0));
    source.addPhysics(push);
    std::unique_ptr<NodePhysical> b(body(0.0f));
    b->addProperty(new TestReceptor(true));
    b->applyForces(1.0f);
    EXPECT_FLOAT_EQ(b->getVelocity().x, 0.01f / NodePhysical::kMinimumMass);
    EXPECT_EQ(b->getMass(), 0.0f); // the menu still shows what was set

    // A force that is not finite leaves the velocity as it was.
    push->push = Vector3(std::numeric_limits<float>::infinity(), 0, 0);
    Vector3 before = b->getVelocity();
    b->applyForces(1.0f);
    EXPECT_EQ(b->getVelocity(), before);
    b->setMass(std::nanf(""));
    push->push = Vector3(1, 0, 0);
    b->applyForces(1.0f);
    EXPECT_TRUE(std::isfinite(b->getVelocity().x));
    EXPECT_FLOAT_EQ(b->makeMotionRecord(0.1f).mass, NodePhysical::kMinimumMass);
}

TEST(PhysicsRecords, BodyRoundTripsWithItsEffectsAndProperties) {
    const std::string path = testing::TempDir() + "body.rec";
    auto write = [&](NodePhysical& body) {
        NSSerialize::SerialStream out(path, true);
        NSSerialize::writeElement(out, "[nodO]", body);
        EXPECT_TRUE(out.close());
        return qbntest::readFileBytes(path);
    };
    NodePhysical original(true);
    original.setPhysical(true, false, 3.5f, 0.25f, 0.75f, true);
    original.setVelocity(Vector3(1, 2, 3));
    original.setAngularVelocity(Vector3(0, 0.5f, 0));
    original.addPhysics(globalPush(Vector3(0, -7, 0)));
    original.addProperty(new TestReceptor(true));
    original.getProperties()[0]->setEffectivity(0.5f);
    NSConstraint::setPlayerTurnRange(original, 1, -0.125f, 0.25f); // the player's turn range about Y
    const qbntest::Bytes bytes = write(original);
    NSSerialize::SerialStream in(path, false);
    std::unique_ptr<NodePhysical> copy(NSSerialize::readElement<NodePhysical>(in));
    ASSERT_NE(copy, nullptr);
    EXPECT_FALSE(in.failed());
    // Every value, the effect's and the property's too, comes back.
    EXPECT_EQ(write(*copy), bytes);
    ASSERT_EQ(copy->getPhysics().size(), 1u);
    Physics* push = copy->getPhysics()[0];
    EXPECT_EQ(push->getOwner(), copy.get());
    const auto& registered = ControllerPhysics::of(ControllerNode::inUse()).effectsOfKind(0);
    EXPECT_NE(std::find(registered.begin(), registered.end(), push), registered.end());
    float ends[2][2] = {};
    for (int axis : {0, 1})
        NSConstraint::playerTurnRange(*copy, axis, ends[axis][0], ends[axis][1]);
    EXPECT_EQ(std::vector<float>({ends[0][0], ends[0][1], ends[1][0], ends[1][1]}),
              std::vector<float>({-0.5f, 0.5f, -0.125f, 0.25f})); // about X the full turn
    std::remove(path.c_str());
}

TEST(PhysicsRecords, ClonesCarryIndependentRegisteredEffects) {
    NodePhysical original(true);
    original.addPhysics(globalPush(Vector3(4, 0, 0)));
    original.addProperty(new TestReceptor(true));
    original.addConstraint(new NSConstraint::Constraint());
    std::unique_ptr<NodePhysical> copy(dynamic_cast<NodePhysical*>(original.clone()));
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy->getId(), original.getId());
    ASSERT_EQ(copy->getPhysics().size(), 1u);
    Physics* copied = copy->getPhysics()[0];
    EXPECT_NE(copied, original.getPhysics()[0]);
    EXPECT_NE(copied->getId(), original.getPhysics()[0]->getId());
    EXPECT_EQ(copied->getOwner(), copy.get());
    EXPECT_EQ(copy->getConstraints().size(), 1u);

    // Switching the original's effect off leaves the copy's working.
    std::unique_ptr<NodePhysical> target(body(1.0f));
    target->addProperty(new TestReceptor(true));
    original.getPhysics()[0]->setEnabled(false);
    target->applyForces(1.0f);
    EXPECT_FLOAT_EQ(target->getVelocity().x, 4.0f);
}

TEST(PhysicsStep, AnElectricityStoreFeedsWithoutPushingAndRefillsBetweenSteps) {
    NodePhysical coil(true);
    auto* store = new NSPhysics::PhysicsElectricity(100.0f, 100.0f, false);
    store->setBoundingVolume(BoundingVolume::makeUnboundedVolume());
    coil.addPhysics(store);
    std::unique_ptr<NodePhysical> consumer(body(1.0f));
    consumer->addProperty(new NSPhysicsProperty::PhysicsPropertyElectricity(1.0f, 30.0f));

    consumer->applyForces(1.0f);
    EXPECT_EQ(consumer->getVelocity(), Vector3()); // energy, not a push
    EXPECT_FLOAT_EQ(store->getEnergy(), 70.0f);

    store->setRefreshEnabled(true);
    store->configure(100.0f, 10.0f);
    coil.finishStep(0.5f); // the body's step end reaches its effects
    EXPECT_FLOAT_EQ(store->getEnergy(), 75.0f);
}
