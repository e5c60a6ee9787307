// The game's pile of balls beside Bullet's at equal settings, as a yardstick.
//
// The scene of bench_collisions.cpp: balls of radius 4 dropped on a jittered
// grid with the same start velocities into a room 200 units wide, gravity
// 98.1 units/s^2 (10 units a metre). The balls carry the game's own ball
// material (a tennis ball's bounce 0.9, its bounce friction not switched on,
// so no friction at contacts), the walls bounce 1.0; both engines multiply
// the two bounces of a contact. Bullet runs at 1/60 s and at 1/120 s (the
// game's step), one step per tick, with no friction either, its thresholds
// that are lengths or speeds scaled to 10 units a metre (bounce below 2
// units/s closing speed, contacts kept within 0.2 units, overlaps above 0.4
// units corrected apart) and the game's rest rule for sleep (slower than
// NodePhysical::kSleepSpeed for kStepsToSleep steps).
//
// Each engine simulates 20 seconds; the CPU time of seconds 1-2 (the fall),
// 0-10 and 10-20 is taken, and the pile's quality at 10 and 20 s: the deepest
// overlap of two balls or a ball and a wall, the kinetic energy per ball of
// mass 1, and the share of balls asleep. The engines take turns, in a
// rotating order, for --reps repetitions (3), so that a busy machine slows
// all of them alike; the table shows each figure's median.
//
// Usage: quibbleton_bench_pile [--balls N] [--reps R]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#ifdef QBN_WITH_BULLET
#include <btBulletDynamicsCommon.h>
#endif

#include "physics/NodePhysical.h"
#include "physics/Physics.h"
#include "physics/PhysicsProperty.h"
#include "physics/StepClock.h"
#include "scenegraph/BoundingVolume.h"
#include "scenegraph/ControllerNode.h"

using NSNode::BoundingVolume;
using NSNode::NodePhysical;
using NSNode::NodeTransform;

namespace {

constexpr float kBallRadius = 4.0f;
constexpr float kHalfRoom = 100.0f;
constexpr float kGravity = 98.1f;
constexpr float kBallBounce = 0.9f;
constexpr int kSeconds = 20;

// Where ball i starts and how it moves: the jittered grid of bench_collisions.cpp.
struct Start {
    std::vector<Vector3> at, velocity;
    explicit Start(int n) {
        const int side = static_cast<int>(std::ceil(std::cbrt(static_cast<double>(n))));
        const float cell = 180.0f / static_cast<float>(side);
        std::mt19937 random(11);
        const float play = std::max(0.0f, 0.5f * cell - kBallRadius - 1.0f) * 0.5f;
        std::uniform_real_distribution<float> jitter(-play, play), speed(-30.0f, 30.0f);
        for (int i = 0; i < n; ++i) {
            const int g[3] = {i % side, (i / side) % side, i / (side * side)};
            Vector3 p;
            for (int k = 0; k < 3; ++k)
                (&p.x)[k] = -90.0f + (static_cast<float>(g[k]) + 0.5f) * cell + jitter(random);
            at.push_back(p);
            const float vx = speed(random), vz = speed(random);
            velocity.emplace_back(vx, 0.0f, vz);
        }
    }
};

// One engine's pile: its step, and the balls as they stand.
struct Pile {
    virtual ~Pile() = default;
    virtual void step() = 0;
    virtual float stepSeconds() const = 0;
    virtual size_t balls() const = 0;
    virtual Vector3 at(size_t i) const = 0;
    virtual Vector3 velocity(size_t i) const = 0;
    virtual bool asleep(size_t i) const = 0;

    float deepestOverlap() const {
        float deepest = 0.0f;
        for (size_t i = 0; i < balls(); ++i) {
            const Vector3 p = at(i);
            for (float c : {p.x, p.y, p.z})
                deepest = std::max(deepest, std::fabs(c) + kBallRadius - kHalfRoom);
            for (size_t j = i + 1; j < balls(); ++j)
                deepest = std::max(deepest, 2.0f * kBallRadius - length(p - at(j)));
        }
        return deepest;
    }
    double energyPerBall() const {
        double sum = 0.0;
        for (size_t i = 0; i < balls(); ++i)
            sum += 0.5 * dot(velocity(i), velocity(i));
        return sum / static_cast<double>(balls());
    }
    double shareAsleep() const {
        size_t sleeping = 0;
        for (size_t i = 0; i < balls(); ++i)
            sleeping += asleep(i) ? 1 : 0;
        return static_cast<double>(sleeping) / static_cast<double>(balls());
    }
};

// Kind 0 pulls down with kGravity, everywhere.
class PileGravity : public NSPhysical::Physics {
public:
    explicit PileGravity(bool full) : Physics(full) {
        if (full)
            setBoundingVolume(BoundingVolume::makeUnboundedVolume());
    }
    int kind() const override { return 0; }
    int classId() const override { return 9502; }
    Vector3 computeForce(NodePhysical* body, NSPhysical::PhysicsProperty* property) override {
        return Vector3(0.0f, -kGravity * body->effectiveMass(), 0.0f) * property->getEffectivity();
    }
    Vector3 getColour() const override { return Vector3(); }
    NSClone::Cloneable* clone() const override { return new PileGravity(true); }
};

class PileGravityProperty : public NSPhysical::PhysicsProperty {
public:
    explicit PileGravityProperty(bool full) : PhysicsProperty(full) {}
    int kind() const override { return 0; }
    int classId() const override { return 9503; }
    NSClone::Cloneable* clone() const override { return new PileGravityProperty(true); }
};

struct GamePile : Pile {
    std::unique_ptr<NodeTransform> root{new NodeTransform(true)};
    std::vector<NodePhysical*> all;

    explicit GamePile(const Start& start) {
        auto* room = new NodePhysical(true);
        room->setBoundingVolume(BoundingVolume::makeRoomVolume(Vector3(), Vector3(2 * kHalfRoom, 2 * kHalfRoom, 2 * kHalfRoom)));
        room->registerForHits();
        room->addPhysics(new PileGravity(true));
        root->addChild(room);
        for (size_t i = 0; i < start.at.size(); ++i) {
            auto* ball = new NodePhysical(true);
            ball->setPhysical(true, true, 1.0f, kBallBounce, 0.3f, false); // a tennis ball's material
            ball->addProperty(new PileGravityProperty(true));
            ball->setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(), kBallRadius));
            ball->setPosition(start.at[i]);
            ball->setVelocity(start.velocity[i]);
            ball->registerForHits();
            root->addChild(ball);
            all.push_back(ball);
        }
    }
    void step() override {
        NSNode::ControllerNode::inUse().putInTreeOrder();
        NSNode::ControllerNode::inUse().clearHits();
        root->simulate(stepSeconds());
        root->finishStep(stepSeconds());
        root->applyPendingChanges();
    }
    float stepSeconds() const override { return NSPhysical::StepClock::kStep; }
    size_t balls() const override { return all.size(); }
    Vector3 at(size_t i) const override { return all[i]->getPosition(); }
    Vector3 velocity(size_t i) const override { return all[i]->getVelocity(); }
    bool asleep(size_t i) const override { return all[i]->isAsleep(); }
};

#ifdef QBN_WITH_BULLET
struct BulletPile : Pile {
    float dt;
    btDefaultCollisionConfiguration configuration;
    btCollisionDispatcher dispatcher{&configuration};
    btDbvtBroadphase broadphase;
    btSequentialImpulseConstraintSolver solver;
    btDiscreteDynamicsWorld world{&dispatcher, &broadphase, &solver, &configuration};
    btSphereShape ball{kBallRadius};
    std::vector<std::unique_ptr<btCollisionShape>> walls;
    std::vector<std::unique_ptr<btDefaultMotionState>> states;
    std::vector<std::unique_ptr<btRigidBody>> bodies;

    BulletPile(const Start& start, float step) : dt(step) {
        world.setGravity(btVector3(0, -kGravity, 0));
        btContactSolverInfo& info = world.getSolverInfo();
        info.m_restitutionVelocityThreshold = 2.0f;
        info.m_splitImpulsePenetrationThreshold = -0.4f;
        gContactBreakingThreshold = 0.2f;
        gDeactivationTime = static_cast<float>(NodePhysical::kStepsToSleep) * NSPhysical::StepClock::kStep;
        const btVector3 normals[6] = {{1, 0, 0}, {-1, 0, 0}, {0, 1, 0}, {0, -1, 0}, {0, 0, 1}, {0, 0, -1}};
        for (const btVector3& normal : normals) {
            walls.emplace_back(new btStaticPlaneShape(normal, -kHalfRoom));
            add(walls.back().get(), 0.0f, 1.0f, btVector3(0, 0, 0), btVector3(0, 0, 0));
        }
        for (size_t i = 0; i < start.at.size(); ++i) {
            const Vector3 p = start.at[i], v = start.velocity[i];
            add(&ball, 1.0f, kBallBounce, btVector3(p.x, p.y, p.z), btVector3(v.x, v.y, v.z));
        }
    }
    void add(btCollisionShape* shape, float mass, float bounce, const btVector3& at, const btVector3& velocity) {
        btVector3 inertia(0, 0, 0);
        if (mass > 0.0f)
            shape->calculateLocalInertia(mass, inertia);
        states.emplace_back(new btDefaultMotionState(btTransform(btQuaternion::getIdentity(), at)));
        btRigidBody::btRigidBodyConstructionInfo info(mass, states.back().get(), shape, inertia);
        info.m_restitution = bounce;
        info.m_friction = 0.0f;
        info.m_linearSleepingThreshold = NodePhysical::kSleepSpeed;
        bodies.emplace_back(new btRigidBody(info));
        bodies.back()->setLinearVelocity(velocity);
        world.addRigidBody(bodies.back().get());
    }
    ~BulletPile() override {
        for (auto& body : bodies)
            world.removeRigidBody(body.get());
    }
    void step() override { world.stepSimulation(dt, 0, dt); }
    float stepSeconds() const override { return dt; }
    // The six walls come first.
    size_t balls() const override { return bodies.size() - 6; }
    Vector3 at(size_t i) const override {
        const btVector3 p = bodies[6 + i]->getCenterOfMassPosition();
        return Vector3(p.x(), p.y(), p.z());
    }
    Vector3 velocity(size_t i) const override {
        const btVector3 v = bodies[6 + i]->getLinearVelocity();
        return Vector3(v.x(), v.y(), v.z());
    }
    bool asleep(size_t i) const override { return bodies[6 + i]->getActivationState() == ISLAND_SLEEPING; }
};
#endif

double cpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// One engine's figures for one run: ms per simulated second of the fall,
// seconds 0-10, 10-20 and 0-20; then deepest, energy and share asleep at 10
// and at 20 s.
using Figures = std::vector<double>;

Figures runPile(Pile& pile) {
    const int perSecond = static_cast<int>(std::lround(1.0 / pile.stepSeconds()));
    double cost[kSeconds] = {};
    Figures quality;
    for (int second = 0; second < kSeconds; ++second) {
        const double before = cpuSeconds();
        for (int i = 0; i < perSecond; ++i)
            pile.step();
        cost[second] = 1e3 * (cpuSeconds() - before);
        if (second == 9 || second == kSeconds - 1)
            for (double q : {double(pile.deepestOverlap()), pile.energyPerBall(), pile.shareAsleep()})
                quality.push_back(q);
    }
    auto mean = [&](int from, int to) {
        double sum = 0.0;
        for (int s = from; s < to; ++s)
            sum += cost[s];
        return sum / (to - from);
    };
    Figures f = {cost[1], mean(0, 10), mean(10, kSeconds), mean(0, kSeconds)};
    f.insert(f.end(), quality.begin(), quality.end());
    return f;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    int n = 1000, reps = 3;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string option = argv[i];
        if (option == "--balls")
            n = std::max(1, std::atoi(argv[i + 1]));
        else if (option == "--reps")
            reps = std::max(1, std::atoi(argv[i + 1]));
    }
    const Start start(n);
    struct Engine {
        const char* name;
        std::function<std::unique_ptr<Pile>()> make;
        std::vector<Figures> runs;
    };
    std::vector<Engine> engines = {
        {"Quibbleton 1/120 s", [&] { return std::unique_ptr<Pile>(new GamePile(start)); }, {}}};
#ifdef QBN_WITH_BULLET
    for (float step : {1.0f / 60.0f, 1.0f / 120.0f})
        engines.push_back({step > 0.01f ? "Bullet 1/60 s" : "Bullet 1/120 s",
                           [&start, step] { return std::unique_ptr<Pile>(new BulletPile(start, step)); }, {}});
#endif
    for (int rep = 0; rep < reps; ++rep)
        for (size_t k = 0; k < engines.size(); ++k) {
            Engine& e = engines[(k + static_cast<size_t>(rep)) % engines.size()];
            std::unique_ptr<Pile> pile = e.make();
            e.runs.push_back(runPile(*pile));
        }
    std::printf("%d balls at equal settings: CPU ms per simulated second, median of %d interleaved runs\n", n, reps);
    std::printf("%-19s %8s %8s %8s %8s | at 10 s: %7s %7s %6s | at 20 s: %7s %7s %6s\n", "engine", "fall 1-2",
                "0-10 s", "10-20 s", "0-20 s", "deepest", "energy", "asleep", "deepest", "energy", "asleep");
    std::vector<Figures> medians;
    for (const Engine& e : engines) {
        Figures m;
        for (size_t f = 0; f < e.runs[0].size(); ++f) {
            std::vector<double> values;
            for (const Figures& run : e.runs)
                values.push_back(run[f]);
            m.push_back(median(values));
        }
        medians.push_back(m);
        std::printf("%-19s %8.1f %8.1f %8.1f %8.1f | %16.3f %7.2f %6.2f | %16.3f %7.2f %6.2f\n", e.name, m[0], m[1], m[2],
                    m[3], m[4], m[5], m[6], m[7], m[8], m[9]);
    }
    for (size_t k = 1; k < engines.size(); ++k)
        std::printf("Quibbleton / %-13s cost %5.2f %8.2f %8.2f %8.2f\n", engines[k].name, medians[0][0] / medians[k][0],
                    medians[0][1] / medians[k][1], medians[0][2] / medians[k][2], medians[0][3] / medians[k][3]);
    return 0;
}
