// One simulation step of n moving spheres in a room: forces, motion (with
// hit tests once contacts are handled), turning and the end-of-step pass, as
// the scene runs it every frame while the machine is on.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "physics/NodePhysical.h"
#include "physics/StepClock.h"
#include "scenegraph/BoundingVolume.h"
#include "scenegraph/ControllerNode.h"

using NSNode::BoundingVolume;
using NSNode::ControllerNode;
using NSNode::NodePhysical;
using NSNode::NodeTransform;

namespace {

void BM_SimulationStep(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    NodeTransform root(true);
    auto* room = new NodePhysical(true);
    room->setBoundingVolume(BoundingVolume::makeRoomVolume(Vector3(), Vector3(200, 200, 200)));
    room->registerForHits();
    root.addChild(room);
    std::mt19937 random(7);
    std::uniform_real_distribution<float> place(-80.0f, 80.0f), speed(-20.0f, 20.0f);
    std::vector<NodePhysical*> balls;
    for (int i = 0; i < n; ++i) {
        auto* ball = new NodePhysical(true);
        ball->setPhysical(true, true, 1.0f, 0.9f, 0.1f, false);
        ball->setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(), 1.5f));
        ball->setPosition(Vector3(place(random), place(random), place(random)));
        ball->setVelocity(Vector3(speed(random), speed(random), speed(random)));
        ball->registerForHits();
        room->addChild(ball);
        balls.push_back(ball);
    }
    const float dt = 0.01f;
    for (auto _ : state) {
        ControllerNode::inUse().clearHits();
        root.simulate(dt);
        root.finishStep(dt);
        root.applyPendingChanges();
        // Turn every ball round so that the scene stays where it started.
        for (NodePhysical* ball : balls)
            ball->setVelocity(-ball->getVelocity());
    }
    state.SetItemsProcessed(state.iterations() * n);
    ControllerNode::inUse().clearHits();
}

// One step's move of a sphere of radius 1 at the given speed (units a
// second), level along a plate 0.5 units thick a little below it: slow, the
// move is one piece; at the top speed the sweep tests it in pieces of half
// a unit (34), the plate being the thinnest body in its reach.
void BM_SweptMove(benchmark::State& state) {
    const float speed = static_cast<float>(state.range(0));
    NodeTransform root(true);
    auto* plate = new NodePhysical(true);
    plate->setBoundingVolume(BoundingVolume::makeBoxVolume(Vector3(), Vector3(60, 0.5f, 60)));
    plate->registerForHits();
    root.addChild(plate);
    auto* ball = new NodePhysical(true);
    ball->setPhysical(true, false, 1.0f, 0.9f, 0.0f, false);
    ball->setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(), 1.0f));
    ball->registerForHits();
    root.addChild(ball);
    for (auto _ : state) {
        ball->setPosition(Vector3(-10.0f, 1.5f, 0.0f));
        ball->setVelocity(Vector3(speed, 0.0f, 0.0f));
        ball->setMovedThisStep(false);
        NSPhysical::MotionRecord record = ball->makeMotionRecord(NSPhysical::StepClock::kStep);
        benchmark::DoNotOptimize(ball->moveWithCollisions(record));
    }
    ControllerNode::inUse().clearHits();
}

} // namespace

BENCHMARK(BM_SimulationStep)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SweptMove)->Arg(100)->Arg(2000)->Unit(benchmark::kMicrosecond);
