// Balls falling into a room 200 units wide under gravity, bouncing off the
// floor, the walls and each other (a tennis ball's material: elastic bounce
// 0.9, its bounce friction not switched on),
// with collision handling, in the game's fixed steps of 1/120 s. Every
// iteration sets the scene up anew, lets it fall for a second untimed, then
// times one more second (120 steps), so every run times the same stretch of
// the same motion.
//
// BM_FallingBalls is the game's path (broad phase on); BM_FallingBallsAllPairs
// runs the full hit test against every registered node. Both find the same
// contacts (the equal contacts/step show it). "step" is the time per step,
// "sim_s" per simulated second; the BigO lines give the growth with the
// number of balls.
//
// The pile that forms, beside Bullet's, is bench_pile.cpp.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <random>
#include <vector>

#include "physics/BroadPhase.h"
#include "physics/Collisions.h"
#include "physics/NodePhysical.h"
#include "physics/Physics.h"
#include "physics/PhysicsProperty.h"
#include "physics/StepClock.h"
#include "scenegraph/BoundingVolume.h"
#include "scenegraph/ControllerNode.h"

using NSNode::BoundingVolume;
using NSNode::ControllerNode;
using NSNode::NodePhysical;
using NSNode::NodeTransform;

namespace {

// Kind 0 pulls down with 9.81 m/s^2 (10 units a metre), everywhere.
class BenchGravity : public NSPhysical::Physics {
public:
    explicit BenchGravity(bool full) : Physics(full) {
        if (full)
            setBoundingVolume(BoundingVolume::makeUnboundedVolume());
    }
    int kind() const override { return 0; }
    int classId() const override { return 9500; }
    Vector3 computeForce(NodePhysical* body, NSPhysical::PhysicsProperty* property) override {
        return Vector3(0.0f, -9.81f * 10.0f * body->effectiveMass(), 0.0f) * property->getEffectivity();
    }
    Vector3 getColour() const override { return Vector3(0.0f, 0.0f, 1.0f); }
    NSClone::Cloneable* clone() const override {
        auto* copy = new BenchGravity(false);
        copy->copyFrom(this);
        return copy;
    }
};

class BenchGravityProperty : public NSPhysical::PhysicsProperty {
public:
    explicit BenchGravityProperty(bool full) : PhysicsProperty(full) {}
    int kind() const override { return 0; }
    int classId() const override { return 9501; }
    NSClone::Cloneable* clone() const override {
        auto* copy = new BenchGravityProperty(false);
        copy->copyFrom(this);
        return copy;
    }
};

constexpr float kStep = NSPhysical::StepClock::kStep;
constexpr int kStepsPerSecond = 120;
constexpr int kWarmUpSteps = kStepsPerSecond;
constexpr int kTimedSteps = kStepsPerSecond;
constexpr float kBallRadius = 4.0f;

struct FallingBalls {
    std::unique_ptr<NodeTransform> root{new NodeTransform(true)};
    std::vector<NodePhysical*> balls;

    explicit FallingBalls(int n) {
        auto* room = new NodePhysical(true);
        room->setBoundingVolume(BoundingVolume::makeRoomVolume(Vector3(), Vector3(200, 200, 200)));
        room->registerForHits();
        room->addPhysics(new BenchGravity(true));
        root->addChild(room);
        // A jittered grid, so that no two balls start inside each other.
        const int side = static_cast<int>(std::ceil(std::cbrt(static_cast<double>(n))));
        const float cell = 180.0f / static_cast<float>(side);
        std::mt19937 random(11);
        const float play = std::max(0.0f, 0.5f * cell - kBallRadius - 1.0f) * 0.5f;
        std::uniform_real_distribution<float> jitter(-play, play);
        std::uniform_real_distribution<float> speed(-30.0f, 30.0f);
        for (int i = 0; i < n; ++i) {
            const int gx = i % side, gy = (i / side) % side, gz = i / (side * side);
            auto* ball = new NodePhysical(true);
            ball->setPhysical(true, false, 1.0f, 0.9f, 0.3f, false);
            ball->addProperty(new BenchGravityProperty(true));
            ball->setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(), kBallRadius));
            ball->setPosition(Vector3(-90.0f + (static_cast<float>(gx) + 0.5f) * cell + jitter(random),
                                      -90.0f + (static_cast<float>(gy) + 0.5f) * cell + jitter(random),
                                      -90.0f + (static_cast<float>(gz) + 0.5f) * cell + jitter(random)));
            ball->setVelocity(Vector3(speed(random), 0.0f, speed(random)));
            ball->registerForHits();
            root->addChild(ball);
            balls.push_back(ball);
        }
    }

    // One step as the scene runs it; the touching pairs it recorded.
    size_t step() {
        ControllerNode::inUse().clearHits();
        root->simulate(kStep);
        root->finishStep(kStep);
        root->applyPendingChanges();
        return ControllerNode::inUse().hits().size();
    }
};

void run(benchmark::State& state, bool broadPhase) {
    NSPhysical::setCollisionBroadPhase(NSNode::ControllerNode::inUse(), broadPhase);
    const int n = static_cast<int>(state.range(0));
    const NSPhysical::BroadPhase& phase = NSPhysical::collisionBroadPhase(NSNode::ControllerNode::inUse());
    size_t contacts = 0;
    std::uint64_t recomputed = 0, kept = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto scene = std::make_unique<FallingBalls>(n);
        for (int i = 0; i < kWarmUpSteps; ++i)
            scene->step();
        const std::uint64_t recomputedBefore = phase.recomputed(), keptBefore = phase.kept();
        state.ResumeTiming();
        // Every ball touches the gravity effect once a step; the rest are contacts.
        for (int i = 0; i < kTimedSteps; ++i)
            contacts += scene->step() - static_cast<size_t>(n);
        state.PauseTiming();
        recomputed += phase.recomputed() - recomputedBefore;
        kept += phase.kept() - keptBefore;
        scene.reset();
        state.ResumeTiming();
    }
    const double steps = static_cast<double>(state.iterations()) * kTimedSteps;
    state.counters["step"] = benchmark::Counter(steps, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["sim_s"] =
        benchmark::Counter(steps / kStepsPerSecond, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.counters["contacts/step"] = static_cast<double>(contacts) / steps;
    if (broadPhase) {
        // Spheres the broad phase had to work out anew, and those it kept.
        state.counters["new/step"] = static_cast<double>(recomputed) / steps;
        state.counters["kept/step"] = static_cast<double>(kept) / steps;
    }
    state.SetComplexityN(n);
    ControllerNode::inUse().clearHits();
    NSPhysical::setCollisionBroadPhase(NSNode::ControllerNode::inUse(), true);
}

void BM_FallingBalls(benchmark::State& state) { run(state, true); }

void BM_FallingBallsAllPairs(benchmark::State& state) { run(state, false); }

} // namespace

BENCHMARK(BM_FallingBalls)
    ->Arg(10)
    ->Arg(100)
    ->Arg(200)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
BENCHMARK(BM_FallingBallsAllPairs)
    ->Arg(10)
    ->Arg(100)
    ->Arg(200)
    ->Arg(1000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();
