#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
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
#include "scenegraph/BoundingVolume.h"
#include "scenegraph/ControllerNode.h"

using NSNode::BoundingVolume;
using NSNode::ControllerNode;
using NSNode::NodePhysical;
using NSNode::NodeTransform;
using NSPhysical::MotionRecord;

namespace {

constexpr float kDt = 1.0f / 60.0f;

// Kind 0: 9.81 m/s^2 down (10 units a metre), everywhere.
class TestFall : public NSPhysical::Physics {
public:
    explicit TestFall(bool full) : Physics(full) { setBoundingVolume(BoundingVolume::makeUnboundedVolume()); }
    int kind() const override { return 0; }
    int classId() const override { return 9510; }
    Vector3 computeForce(NodePhysical* body, NSPhysical::PhysicsProperty* p) override {
        return Vector3(0.0f, -98.1f * body->effectiveMass(), 0.0f) * p->getEffectivity();
    }
    Vector3 getColour() const override { return Vector3(); }
    Cloneable* clone() const override { return new TestFall(true); }
};

class TestFallProperty : public NSPhysical::PhysicsProperty {
public:
    explicit TestFallProperty(bool full) : PhysicsProperty(full) {}
    int kind() const override { return 0; }
    int classId() const override { return 9511; }
    Cloneable* clone() const override { return new TestFallProperty(true); }
};

// A room 200 units wide (floor at y = -100), registered and immovable.
struct Room {
    std::unique_ptr<NodeTransform> root{new NodeTransform(true)};

    explicit Room(bool gravity) {
        auto* room = new NodePhysical(true);
        room->setBoundingVolume(BoundingVolume::makeRoomVolume(Vector3(), Vector3(200, 200, 200)));
        room->registerForHits();
        if (gravity)
            room->addPhysics(new TestFall(true));
        root->addChild(room);
    }
    NodePhysical* ball(const Vector3& at, float radius, float bounce, NodeTransform* parent = nullptr) {
        auto* b = new NodePhysical(true);
        b->setPhysical(true, false, 1.0f, bounce, 0.0f, false);
        b->addProperty(new TestFallProperty(true));
        b->setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(), radius));
        b->setPosition(at);
        b->registerForHits();
        (parent ? parent : root.get())->addChild(b);
        return b;
    }
    void step() {
        ControllerNode::instance().clearHits();
        root->simulate(kDt);
        root->finishStep(kDt);
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
    for (const auto& hit : ControllerNode::instance().hits())
        n += (hit.first == a.getId() && hit.second == b.getId()) ? 1 : 0;
    return n;
}

bool finite(const Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }

#define EXPECT_VEC_NEAR(a, b) \
    EXPECT_LT(length((a) - (b)), 1e-4f) << "(" << (a).x << ", " << (a).y << ", " << (a).z << ")"

} // namespace

// With E = 1 a ball bounces for ever but never rises above where it was
// dropped (a bounce uses only the rest of the step); with E = 0.5 it settles.
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
        EXPECT_GT(lowest, floorContact);
        EXPECT_LT(highest, start + 0.01f * drop);
        EXPECT_GE(bounces, 12);
        // Half a minute on, every bounce still goes most of the way up.
        EXPECT_GT(lateLowestPeak - floorContact, 0.8f * drop);
    }
    {
        Room room(true);
        NodePhysical* ball = room.ball(Vector3(0, 50, 0), 5.0f, 0.5f);
        for (int i = 0; i < 1200; ++i)
            room.step();
        for (int i = 0; i < 120; ++i) {
            room.step();
            EXPECT_LT(ball->getPosition().y - floorContact, 0.5f);
            EXPECT_LT(length(ball->getVelocity()), 2.0f);
        }
    }
}

// 0.6 apart, a covers 1.0 in the step: it meets b 60% of the way and moves on for the rest.
TEST(CollisionResponse, HeadOnEqualMassesExchangeSpeedsOrShareTheMean) {
    const float contactX = -5.3f + 0.6f;
    for (float bounce : {1.0f, 0.0f}) {
        ControllerNode::instance().clearHits();
        std::unique_ptr<NodePhysical> a(freeBall(Vector3(-5.3f, 0, 0), Vector3(60, 0, 0), bounce));
        std::unique_ptr<NodePhysical> b(freeBall(Vector3(5.3f, 0, 0), Vector3(-20, 0, 0), bounce));
        MotionRecord r = a->makeMotionRecord(kDt);
        EXPECT_FALSE(a->moveWithCollisions(r)); // stopped by the contact...
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
}

TEST(CollisionMove, ZeroNormalBlocksWithoutResponseAndContactsAreLimited) {
    ControllerNode::instance().clearHits();
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

    // A plain node (no body) overlapping the ball is answered every time it
    // is met: the ball answers it twice and then drops out of the step.
    ControllerNode::instance().clearHits();
    NodeTransform block(true);
    block.setBoundingVolume(BoundingVolume::makeBoxVolume(Vector3(5.4f, 0, 0), Vector3(1, 10, 10)));
    block.registerForHits();
    MotionRecord r = ball->makeMotionRecord(kDt);
    EXPECT_FALSE(ball->moveWithCollisions(r));
    EXPECT_EQ(hitsBetween(*ball, block), 2u);
    EXPECT_GE(ball->getContactsThisStep(), 2);
    EXPECT_EQ(ball->getPosition(), Vector3());
    const Vector3 velocity = ball->getVelocity();
    MotionRecord again = ball->makeMotionRecord(kDt);
    EXPECT_TRUE(ball->moveWithCollisions(again));
    EXPECT_EQ(hitsBetween(*ball, block), 2u);
    EXPECT_EQ(ball->getVelocity(), velocity);
    // The next step it takes part again: pushed out, it moves off the block.
    ball->finishStep(kDt);
    MotionRecord next = ball->makeMotionRecord(kDt);
    EXPECT_TRUE(ball->moveWithCollisions(next));
    EXPECT_LT(ball->getPosition().x, 0.0f);
}

// The broad phase only skips hit tests that cannot hit: a busy scene (turning
// off-centre paddles, balls on carriers, bodies teleported, grown,
// unregistered and moved between carriers) runs the same with and without it.
TEST(CollisionMove, BroadPhaseFindsTheSameContactsInTheSameOrder) {
    using Trace = std::vector<std::pair<int, int>>;
    auto run = [](bool broadPhase, std::vector<Vector3>& states, Trace& hits) {
        NSPhysical::setCollisionBroadPhase(broadPhase);
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
            for (const auto& hit : ControllerNode::instance().hits())
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
    NSPhysical::setCollisionBroadPhase(true);
    // Besides the pull of gravity on each ball in every step.
    EXPECT_GT(hitsWith.size(), 278u * 240u + 10000u);
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

// 300 balls (radius 4, bounce 0.9, friction 0.1) dropped into a box 60 units
// wide pile up about six deep: after ten simulated seconds of 1/120 s steps
// no two overlap (nor a ball and a wall) by 0.2 units or more, and the
// kinetic energy per ball has dropped to a thousandth of the fall's and
// does not grow again. A ball then thrown into the resting pile
// wakes it (balls around it move) and ends in it without sinking into anything.
TEST(CollisionPile, ThreeHundredBallsInASmallBoxSettle) {
    const float half = 30.0f, radius = 4.0f, dt = 1.0f / 120.0f;
    NodeTransform root(true);
    auto* box = new NodePhysical(true);
    box->setBoundingVolume(BoundingVolume::makeRoomVolume(Vector3(), Vector3(2 * half, 200, 2 * half)));
    box->registerForHits();
    box->addPhysics(new TestFall(true));
    root.addChild(box);
    std::vector<NodePhysical*> balls;
    std::mt19937 random(5);
    std::uniform_real_distribution<float> jitter(-0.5f, 0.5f), speed(-20.0f, 20.0f);
    for (int i = 0; i < 300; ++i) {
        auto* b = new NodePhysical(true);
        b->setPhysical(true, false, 1.0f, 0.9f, 0.1f, true);
        b->addProperty(new TestFallProperty(true));
        b->setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(), radius));
        b->setPosition(Vector3(-25.0f + 10.0f * (i % 6) + jitter(random), -90.0f + 10.0f * (i / 36),
                               -25.0f + 10.0f * ((i / 6) % 6) + jitter(random)));
        b->setVelocity(Vector3(speed(random), 0.0f, speed(random)));
        b->registerForHits();
        root.addChild(b);
        balls.push_back(b);
    }
    std::vector<double> energy; // per ball, averaged over each second
    std::vector<Vector3> restingAt;
    for (int second = 0; second < 12; ++second) {
        if (second == 10) {
            for (NodePhysical* b : balls)
                restingAt.push_back(b->getPosition());
            balls.push_back(static_cast<NodePhysical*>(balls[0]->clone()));
            balls.back()->setPosition(Vector3(0.0f, 60.0f, 0.0f));
            balls.back()->setVelocity(Vector3(0.0f, -200.0f, 0.0f));
            balls.back()->registerForHits();
            root.addChild(balls.back());
        }
        double sum = 0.0;
        for (int i = 0; i < 120; ++i) {
            ControllerNode::instance().clearHits();
            root.simulate(dt);
            root.finishStep(dt);
            root.applyPendingChanges();
            for (NodePhysical* b : balls)
                sum += 0.5 * dot(b->getVelocity(), b->getVelocity());
        }
        energy.push_back(sum / (120.0 * balls.size()));
    }
    float deepest = 0.0f;
    for (size_t i = 0; i < balls.size(); ++i) {
        const Vector3 p = balls[i]->getPosition();
        for (float wall : {p.x, p.z})
            deepest = std::max(deepest, std::fabs(wall) + radius - half);
        deepest = std::max(deepest, -100.0f + radius - p.y);
        for (size_t j = i + 1; j < balls.size(); ++j)
            deepest = std::max(deepest, 2 * radius - length(p - balls[j]->getPosition()));
    }
    EXPECT_LT(deepest, 0.2f);
    EXPECT_LT(energy[9], energy[0] / 1000.0);
    size_t moved = 0;
    for (size_t i = 0; i < restingAt.size(); ++i)
        moved += length(balls[i]->getPosition() - restingAt[i]) > 0.1f ? 1 : 0;
    EXPECT_GE(moved, 3u);
    for (int s = 3; s < 10; ++s)
        EXPECT_LE(energy[s], energy[s - 1] * 1.05) << "second " << s + 1;
}
