#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <random>
#include <utility>
#include <vector>

#include "physics/BroadPhase.h"
#include "physics/Collisions.h"
#include "physics/NodePhysical.h"
#include "physics/Physics.h"
#include "physics/PhysicsProperty.h"
#include "physics/TestForces.h"
#include "scenegraph/BoundingVolume.h"
#include "scenegraph/ControllerNode.h"

using NSNode::BoundingVolume;
using NSNode::ControllerNode;
using NSNode::NodePhysical;
using NSNode::NodeTransform;
using NSPhysical::MotionRecord;

namespace {

constexpr float kDt = 1.0f / 60.0f;

// A room 200 units wide (floor at y = -100; or size), registered and immovable.
struct Room {
    std::unique_ptr<NodeTransform> root{new NodeTransform(true)};

    explicit Room(bool gravity, const Vector3& size = Vector3(200, 200, 200)) {
        auto* room = new NodePhysical(true);
        room->setBoundingVolume(BoundingVolume::makeRoomVolume(Vector3(), size));
        room->registerForHits();
        if (gravity)
            room->addPhysics(qbntest::testGravity());
        root->addChild(room);
    }
    NodePhysical* ball(const Vector3& at, float radius, float bounce, NodeTransform* parent = nullptr) {
        auto* b = new NodePhysical(true);
        b->setPhysical(true, false, 1.0f, bounce, 0.0f, false);
        b->addProperty(new qbntest::TestReceptor(true));
        b->setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(), radius));
        b->setPosition(at);
        b->registerForHits();
        (parent ? parent : root.get())->addChild(b);
        return b;
    }
    void step(float dt = kDt) {
        ControllerNode::inUse().clearHits();
        root->simulate(dt);
        root->finishStep(dt);
        root->applyPendingChanges();
    }
};

NodePhysical* freeBall(const Vector3& at, const Vector3& velocity, float bounce) {
    auto* b = new NodePhysical(true);
    b->setPhysical(true, false, 1.0f, bounce, 0.0f, false);
    b->setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(), 5.0f));
    b->setPosition(at);
    b->setVelocity(velocity);
    b->registerForHits();
    return b;
}

size_t hitsBetween(const NodeTransform& a, const NodeTransform& b) {
    size_t n = 0;
    for (const auto& hit : ControllerNode::inUse().hits())
        n += (hit.first == a.getId() && hit.second == b.getId()) ? 1 : 0;
    return n;
}

bool finite(const Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

#define EXPECT_VEC_NEAR(a, b) \
    EXPECT_LT(length((a) - (b)), 1e-4f) << "(" << (a).x << ", " << (a).y << ", " << (a).z << ")"

} // namespace

// With E = 1 a ball bounces for ever but never rises above where it was
// dropped (a bounce uses only the rest of the step); with E = 0.5 it comes to rest.
TEST(CollisionBounce, ElasticBallNeverRisesAboveItsStartAndDampedBallComesToRest) {
    const float floorContact = -100.0f + 5.0f;
    const float start = 50.0f;
    const float drop = start - floorContact;
    {
        Room room(true);
        NodePhysical* ball = room.ball(Vector3(0, start, 0), 5.0f, 1.0f);
        float lowest = start, highest = start, lateLowestPeak = start;
        float peak = floorContact;
        int bounces = 0;
        for (int i = 0; i < 3600; ++i) {
            const float vy = ball->getVelocity().y;
            room.step();
            const float y = ball->getPosition().y;
            lowest = std::min(lowest, y);
            highest = std::max(highest, y);
            peak = std::max(peak, y);
            if (vy > 0.0f && ball->getVelocity().y <= 0.0f) {
                // Past the top of a bounce.
                if (i >= 1800)
                    lateLowestPeak = std::min(lateLowestPeak, peak);
                peak = floorContact;
            }
            bounces += (vy < 0.0f && ball->getVelocity().y > 0.0f) ? 1 : 0;
        }
        EXPECT_TRUE(lowest > floorContact && highest < start + 0.01f * drop && bounces >= 12);
        // Half a minute on, every bounce still goes most of the way up.
        EXPECT_GT(lateLowestPeak - floorContact, 0.8f * drop);
    }
    Room room(true);
    NodePhysical* ball = room.ball(Vector3(0, 50, 0), 5.0f, 0.5f);
    for (int i = 0; i < 1200; ++i)
        room.step();
    EXPECT_TRUE(ball->isAsleep() && ball->getPosition().y - floorContact < 0.5f);
}

// 0.6 apart, a covers 1.0 in the step: it meets b 60% of the way and moves on for the rest.
TEST(CollisionResponse, HeadOnEqualMassesExchangeSpeedsOrShareTheMean) {
    const float contactX = -5.3f + 0.6f;
    for (float bounce : {1.0f, 0.0f}) {
        ControllerNode::inUse().clearHits();
        std::unique_ptr<NodePhysical> a(freeBall(Vector3(-5.3f, 0, 0), Vector3(60, 0, 0), bounce));
        std::unique_ptr<NodePhysical> b(freeBall(Vector3(5.3f, 0, 0), Vector3(-20, 0, 0), bounce));
        MotionRecord r = a->makeMotionRecord(kDt);
        EXPECT_TRUE(a->moveWithCollisions(r)); // the contact is answered...
        EXPECT_EQ(a->getContactsThisStep(), 1);
        EXPECT_EQ(b->getContactsThisStep(), 0);
        if (bounce == 1.0f) {
            EXPECT_FLOAT_EQ(a->getVelocity().x, -20.0f);
            EXPECT_FLOAT_EQ(b->getVelocity().x, 60.0f);
            // ...then both moved on with their new speeds, the faster first:
            // b for the whole step, a back from the contact for the rest.
            EXPECT_FLOAT_EQ(b->getPosition().x, 5.3f + 60.0f * kDt);
            EXPECT_NEAR(a->getPosition().x, contactX - 20.0f * 0.4f * kDt, 2e-3f);
            // Finding the contact records the touching pair once only.
            EXPECT_EQ(hitsBetween(*a, *b), 1u);
        } else {
            EXPECT_FLOAT_EQ(a->getVelocity().x, 20.0f);
            EXPECT_FLOAT_EQ(b->getVelocity().x, 20.0f);
            // ...a, moving on first, meets b again at once: not answered twice, it stays short of b.
            EXPECT_NEAR(a->getPosition().x, contactX, 2e-3f);
            EXPECT_GE(b->getPosition().x - a->getPosition().x, 10.0f - 1e-4f);
        }
    }
}

TEST(CollisionResponse, WallsMaterialsAndBrokenValues) {
    NodePhysical ball(true), wall(true);
    ball.setMoveable(true);
    const Vector3 up(0, 1, 0);
    MotionRecord a = ball.makeMotionRecord(kDt), b = wall.makeMotionRecord(kDt);
    a.velocity = Vector3(3, -10, 0);
    b.moveable = false;
    // An immovable wall reflects the normal part and keeps the tangential one.
    NSPhysical::respondToContact(up, a, b);
    EXPECT_VEC_NEAR(a.newVelocity, Vector3(3, 10, 0));
    EXPECT_EQ(b.newVelocity, Vector3());
    // E is the product of both bounces; friction the mean, only when enabled.
    ball.setElasticBounce(0.5f);
    wall.setBounceFriction(0.5f);
    NSPhysical::respondToContact(up, a, b);
    EXPECT_VEC_NEAR(a.newVelocity, Vector3(3, 5, 0));
    wall.setBounceFrictionEnabled(true);
    NSPhysical::respondToContact(up, a, b);
    EXPECT_VEC_NEAR(a.newVelocity, Vector3(3, 5, 0) * 0.75f);

    // No direction, no response, even with friction on.
    NSPhysical::respondToContact(Vector3(), a, b);
    EXPECT_EQ(a.newVelocity, a.velocity);

    // A heavier body landing on one that rests on the floor bounces back up.
    MotionRecord top, bottom;
    top.mass = 3.0f;
    top.velocity = Vector3(0, -10, 0);
    bottom.supported = true;
    bottom.supportNormal = up;
    NSPhysical::respondToContact(up, top, bottom);
    EXPECT_FLOAT_EQ(top.newVelocity.y, 5.0f);

    // Two bodies of mass 0 still give finite speeds: they count as the lightest.
    MotionRecord p, q;
    p.mass = q.mass = 0.0f;
    p.velocity = Vector3(-4, 0, 0);
    q.velocity = Vector3(6, 0, 0);
    NSPhysical::respondToContact(Vector3(1, 0, 0), p, q);
    EXPECT_VEC_NEAR(p.newVelocity, Vector3(6, 0, 0));
    EXPECT_VEC_NEAR(q.newVelocity, Vector3(-4, 0, 0));
    // A broken partner does not spread into the body it touches.
    q.velocity = Vector3(std::numeric_limits<float>::quiet_NaN(), 0, 0);
    NSPhysical::respondToContact(Vector3(1, 0, 0), p, q);
    EXPECT_EQ(p.newVelocity, p.velocity);
    EXPECT_TRUE(finite(p.newVelocity));
    // A light body struck by a heavy one at the top speed leaves no faster than that.
    p.mass = 1.0f, q.mass = 1000.0f, p.velocity = Vector3(), q.velocity = Vector3(-2000, 0, 0);
    NSPhysical::respondToContact(Vector3(1, 0, 0), p, q);
    EXPECT_NEAR(length(p.newVelocity), 2000.0f, 0.01f);
}

TEST(CollisionMove, ZeroNormalBlocksWithoutResponseAndContactsAreLimited) {
    ControllerNode::inUse().clearHits();
    // A volume that covers everything hits without a direction.
    std::unique_ptr<NodePhysical> ball(freeBall(Vector3(), Vector3(10, 0, 0), 1.0f));
    ball->setBounceFriction(0.5f);
    ball->setBounceFrictionEnabled(true);
    {
        NodeTransform everywhere(true);
        everywhere.setBoundingVolume(BoundingVolume::makeUnboundedVolume());
        everywhere.registerForHits();
        MotionRecord r = ball->makeMotionRecord(kDt);
        EXPECT_FALSE(ball->moveWithCollisions(r));
        EXPECT_EQ(ball->getPosition(), Vector3());
        EXPECT_EQ(ball->getVelocity(), Vector3(10, 0, 0));
        EXPECT_EQ(ball->getContactsThisStep(), 0);
        EXPECT_EQ(hitsBetween(*ball, everywhere), 1u);
    }

    // Wedged between two plain nodes (no bodies) it overlaps, the ball answers one, then the other, and drops
    // out of the step where it is; the next step, with one of them gone, it moves off the other.
    ControllerNode::inUse().clearHits();
    std::unique_ptr<NodeTransform> blocks[2];
    for (int k = 0; k < 2; ++k) {
        blocks[k].reset(new NodeTransform(true));
        blocks[k]->setBoundingVolume(BoundingVolume::makeBoxVolume(Vector3(k ? 5.4f : -5.4f, 0, 0), Vector3(1, 10, 10)));
        blocks[k]->registerForHits();
    }
    MotionRecord r = ball->makeMotionRecord(kDt);
    ball->moveWithCollisions(r);
    EXPECT_TRUE(ball->getContactsThisStep() == 2 && ball->getPosition() == Vector3());
    const size_t hits = ControllerNode::inUse().hits().size();
    MotionRecord again = ball->makeMotionRecord(kDt);
    EXPECT_TRUE(ball->moveWithCollisions(again) && ControllerNode::inUse().hits().size() == hits);
    ball->finishStep(kDt);
    blocks[1].reset();
    ball->setVelocity(Vector3(10, 0, 0));
    MotionRecord next = ball->makeMotionRecord(kDt);
    EXPECT_TRUE(ball->moveWithCollisions(next) && ball->getPosition().x > 0.0f);
}

// The broad phase only skips hit tests that cannot hit: a busy scene (turning
// off-centre paddles, balls on carriers, bodies teleported, grown,
// unregistered and moved between carriers) runs the same with and without it.
TEST(CollisionMove, BroadPhaseFindsTheSameContactsInTheSameOrder) {
    using Trace = std::vector<std::pair<int, int>>;
    auto run = [](bool broadPhase, std::vector<Vector3>& states, Trace& hits) {
        NSPhysical::setCollisionBroadPhase(NSNode::ControllerNode::inUse(), broadPhase);
        Room room(true);
        std::mt19937 random(5);
        std::uniform_real_distribution<float> place(-85.0f, 85.0f), speed(-60.0f, 60.0f), size(3.0f, 7.0f);
        auto randomVelocity = [&] { return Vector3(speed(random), speed(random), speed(random)); };
        std::vector<NodePhysical*> bodies;
        for (int i = 0; i < 270; ++i) {
            bodies.push_back(room.ball(Vector3(place(random), place(random), place(random)), size(random), 0.9f));
            bodies.back()->setVelocity(randomVelocity());
        }
        for (int i = 0; i < 12; ++i) {
            auto* paddle = new NodePhysical(true);
            paddle->setPhysical(true, false, 2.0f, 0.8f, 0.0f, false);
            paddle->setBoundingVolume(BoundingVolume::makeBoxVolume(Vector3(8, 0, 0), Vector3(12, 6, 3)));
            paddle->setPosition(Vector3(place(random), place(random), place(random)));
            paddle->setVelocity(randomVelocity());
            paddle->setAngularVelocity(Vector3(0, 2.0f, 1.0f));
            paddle->registerForHits();
            room.root->addChild(paddle);
            bodies.push_back(paddle);
        }
        auto* paddle = new NodePhysical(true);
        paddle->setBoundingVolume(BoundingVolume::makeBoxVolume(Vector3(40, 0, 0), Vector3(60, 30, 4)));
        paddle->setAngularVelocity(Vector3(0, 1.5f, 0));
        paddle->registerForHits();
        room.root->addChild(paddle);
        bodies.push_back(paddle);
        auto* carrier = new NodePhysical(true);
        carrier->setVelocity(Vector3(15, 0, 0));
        carrier->setAngularVelocity(Vector3(0, 0.7f, 0));
        room.root->addChild(carrier);
        auto* registeredCarrier = room.ball(Vector3(0, 50, 0), 5.0f, 0.9f);
        registeredCarrier->clearProperties();
        registeredCarrier->setVelocity(Vector3(0, 0, -20));
        bodies.push_back(registeredCarrier);
        for (int i = 0; i < 4; ++i) {
            bodies.push_back(room.ball(Vector3(-30, 20.0f * i, 0), 6.0f, 0.9f, carrier));
            bodies.push_back(room.ball(Vector3(12.0f * (i + 1), 0, 0), 4.0f, 0.9f, registeredCarrier));
        }
        NodePhysical* teleported = bodies[0];
        NodePhysical* growing = bodies[1];
        NodePhysical* leaving = bodies[2];
        NodePhysical* switching = bodies[3];
        const int base = room.root->getId();
        for (int step = 0; step < 240; ++step) {
            room.step();
            for (const auto& hit : ControllerNode::inUse().hits())
                hits.emplace_back(hit.first - base, hit.second - base);
            for (NodePhysical* b : bodies) {
                states.push_back(b->getPosition());
                states.push_back(b->getVelocity());
            }
            if (step % 7 == 3)
                teleported->setPosition(Vector3(place(random), place(random), place(random)));
            if (step == 60)
                growing->setScale(2.5f);
            if (step == 80)
                leaving->unregisterForHits();
            if (step == 120)
                leaving->registerForHits();
            if (step == 150) {
                room.root->removeChild(switching);
                carrier->addChild(switching);
            }
        }
    };
    std::vector<Vector3> without, with;
    Trace hitsWithout, hitsWith;
    run(false, without, hitsWithout);
    run(true, with, hitsWith);
    NSPhysical::setCollisionBroadPhase(NSNode::ControllerNode::inUse(), true);
    // Besides the pull of gravity on each ball in every step.
    EXPECT_GT(hitsWith.size(), 278u * 240u + 5000u);
    EXPECT_TRUE(hitsWith == hitsWithout);
    ASSERT_EQ(with.size(), without.size());
    size_t differing = 0;
    for (size_t i = 0; i < with.size(); ++i)
        differing += with[i] == without[i] ? 0 : 1;
    EXPECT_EQ(differing, 0u);
}

TEST(CollisionMove, BroadPhaseNeverRejectsANodeThatHits) {
    std::unique_ptr<NodePhysical> a(freeBall(Vector3(), Vector3(), 1.0f));
    std::unique_ptr<NodePhysical> b(freeBall(Vector3(50, 0, 0), Vector3(), 1.0f));
    NSPhysical::BroadPhase phase;
    phase.update();
    size_t ib = 0;
    while (ib < phase.size() && phase.node(ib) != b.get())
        ++ib;
    ASSERT_LT(ib, phase.size());
    EXPECT_FALSE(phase.mayHit(phase.reachOf(a.get(), Vector3()), ib));
    // Just overlapping, also when the overlap comes from the offset.
    EXPECT_TRUE(a->hitTest(b.get(), Vector3(40.0001f, 0, 0)).hit);
    EXPECT_TRUE(phase.mayHit(phase.reachOf(a.get(), Vector3(40.0001f, 0, 0)), ib));
    // A displacement is followed by the next update.
    b->translate(Vector3(-41, 0, 0));
    phase.update();
    EXPECT_TRUE(a->hitTest(b.get(), Vector3()).hit);
    EXPECT_TRUE(phase.mayHit(phase.reachOf(a.get(), Vector3()), ib));
}

// A ball asleep on another asleep on the floor still reports touching it, and wakes as soon as the sum of the forces on it changes (another pull
// joins, the pull is switched off, it reacts half as strongly), when it is given a velocity or made moveable, the
// next step after the ball below wakes, and within 12 steps after that ball is taken away from under it.
TEST(CollisionRest, ASleepingBodyWakesForAnyNewForceAndWhenItsSupportGoes) {
    using Change = std::function<void(NodePhysical& room, NodePhysical& below, NodePhysical& top)>;
    const std::pair<Change, int> changes[] = {
        {[](NodePhysical& room, NodePhysical&, NodePhysical&) { room.addPhysics(qbntest::testGravity()); }, 1},
        {[](NodePhysical& room, NodePhysical&, NodePhysical&) { room.getPhysics()[0]->setEnabled(false); }, 1},
        {[](NodePhysical&, NodePhysical&, NodePhysical& top) { top.getProperties()[0]->setEffectivity(0.5f); }, 1},
        {[](NodePhysical&, NodePhysical&, NodePhysical& top) { top.setVelocity(Vector3(0, 0.5f, 0)); }, 0},
        {[](NodePhysical&, NodePhysical&, NodePhysical& top) { top.setMoveable(true); }, 0},
        {[](NodePhysical&, NodePhysical& below, NodePhysical&) { below.setVelocity(Vector3(2, 0, 0)); }, 2},
        {[](NodePhysical&, NodePhysical& below, NodePhysical&) { below.translate(Vector3(50, 0, 0)); }, 12}};
    for (const auto& change : changes) {
        Room room(true);
        NodePhysical* below = room.ball(Vector3(0, -94.9f, 0), 5.0f, 0.5f);
        NodePhysical* top = room.ball(Vector3(0, -84.8f, 0), 5.0f, 0.5f);
        for (int i = 0; i < 240 && !(top->isAsleep() && below->isAsleep()); ++i)
            room.step();
        ASSERT_TRUE(top->isAsleep() && below->isAsleep());
        room.step(); // asleep, the two still report their touch (a goal met by resting bodies stays met)
        EXPECT_GT(hitsBetween(*top, *below) + hitsBetween(*below, *top), 0u);
        change.first(*static_cast<NodePhysical*>(room.root->getChildren()[0]), *below, *top);
        for (int i = 0; i < change.second; ++i)
            room.step();
        EXPECT_FALSE(top->isAsleep()) << "change " << &change - changes;
    }
}

// 200 balls (radius 4, bounce 0.9) dropped into a box 60 units wide pile up about four deep: a second after ten
// simulated seconds of 1/120 s steps, no two overlap (nor a ball and a wall) by 0.2 units or more, and the
// kinetic energy per ball has dropped to a thousandth of the fall's without growing again. A ball thrown into
// the resting pile at 10 s wakes it (balls around it move). At 40 s nine in ten balls sleep, and none keeps a
// speed of 3 units/s while standing still.
TEST(CollisionPile, TwoHundredBallsInASmallBoxSettle) {
    const float half = 30.0f, radius = 4.0f;
    Room room(true, Vector3(2 * half, 200, 2 * half));
    std::vector<NodePhysical*> balls;
    std::mt19937 random(5);
    std::uniform_real_distribution<float> jitter(-0.5f, 0.5f), speed(-20.0f, 20.0f);
    for (int i = 0; i < 200; ++i) {
        const float x = -25.0f + 10.0f * (i % 6) + jitter(random), z = -25.0f + 10.0f * ((i / 6) % 6) + jitter(random);
        balls.push_back(room.ball(Vector3(x, -90.0f + 10.0f * (i / 36), z), radius, 0.9f));
        balls.back()->setVelocity(Vector3(speed(random), 0.0f, speed(random)));
    }
    std::vector<double> energy; // per ball, averaged over each second
    std::vector<Vector3> restingAt, before;
    for (int second = 0; second < 40; ++second) {
        if (second == 10) {
            for (NodePhysical* b : balls)
                restingAt.push_back(b->getPosition());
            balls.push_back(room.ball(Vector3(0.0f, 60.0f, 0.0f), radius, 0.9f));
            balls.back()->setVelocity(Vector3(0.0f, -200.0f, 0.0f));
        }
        before.clear();
        double sum = 0.0;
        for (NodePhysical* b : balls)
            before.push_back(b->getPosition());
        for (int i = 0; i < 120; ++i) {
            room.step(1.0f / 120.0f);
            for (NodePhysical* b : balls)
                sum += 0.5 * dot(b->getVelocity(), b->getVelocity());
        }
        energy.push_back(sum / (120.0 * balls.size()));
        for (size_t i = 0; i < balls.size() && second == 11; ++i) {
            const Vector3 p = balls[i]->getPosition();
            float deepest = std::max({std::fabs(p.x) + radius - half, std::fabs(p.z) + radius - half, -96.0f - p.y});
            for (size_t j = i + 1; j < balls.size(); ++j)
                deepest = std::max(deepest, 2 * radius - length(p - balls[j]->getPosition()));
            EXPECT_LT(deepest, 0.2f) << "ball " << i;
        }
    }
    EXPECT_LT(energy[9], energy[0] / 1000.0);
    size_t moved = 0, asleep = 0;
    for (size_t i = 0; i < restingAt.size(); ++i)
        moved += length(balls[i]->getPosition() - restingAt[i]) > 0.1f ? 1 : 0;
    EXPECT_GE(moved, 3u);
    for (int s = 3; s < 10; ++s)
        EXPECT_LE(energy[s], energy[s - 1] * 1.05) << "second " << s + 1;
    for (size_t i = 0; i < balls.size(); ++i) {
        asleep += balls[i]->isAsleep() ? 1 : 0;
        EXPECT_FALSE(length(balls[i]->getVelocity()) > 3.0f && length(balls[i]->getPosition() - before[i]) < 0.5f)
            << "ball " << i << " stands still at " << length(balls[i]->getVelocity()) << " units/s";
    }
    EXPECT_GE(asleep, balls.size() * 9 / 10);
}
