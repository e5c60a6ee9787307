// Hit tests of n spheres against each other and the room: every node runs
// hitTestAll once per iteration, as the bodies of a simulation step do.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "scenegraph/BoundingVolume.h"
#include "scenegraph/ControllerNode.h"
#include "scenegraph/NodeTransform.h"

using NSNode::BoundingVolume;
using NSNode::ControllerNode;
using NSNode::NodeTransform;

namespace {

// n spheres on a jittered grid inside a room 200 units wide. No two spheres
// touch and none touches a wall, so every hitTestAll runs through the whole
// registry.
std::vector<NodeTransform*> makeScene(int n) {
    std::vector<NodeTransform*> nodes;
    NodeTransform* room = new NodeTransform(true);
    room->setBoundingVolume(BoundingVolume::makeRoomVolume(Vector3(), Vector3(200, 200, 200)));
    room->registerForHits();
    nodes.push_back(room);

    const int side = static_cast<int>(std::ceil(std::cbrt(static_cast<double>(n))));
    const float cell = 180.0f / static_cast<float>(side);
    const float radius = cell * 0.3f;
    std::mt19937 random(42);
    std::uniform_real_distribution<float> jitter(-cell * 0.15f, cell * 0.15f);
    for (int i = 0; i < n; ++i) {
        const int gx = i % side, gy = (i / side) % side, gz = i / (side * side);
        Vector3 p(-90.0f + (static_cast<float>(gx) + 0.5f) * cell + jitter(random),
                  -90.0f + (static_cast<float>(gy) + 0.5f) * cell + jitter(random),
                  -90.0f + (static_cast<float>(gz) + 0.5f) * cell + jitter(random));
        NodeTransform* ball = new NodeTransform(true);
        ball->setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(), radius));
        ball->setPosition(p);
        ball->registerForHits();
        nodes.push_back(ball);
    }
    return nodes;
}

void BM_HitTestAll(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::vector<NodeTransform*> nodes = makeScene(n);
    const Vector3 offset(0.5f, -0.25f, 0.0f);
    long hits = 0;
    for (auto _ : state) {
        for (NodeTransform* node : nodes) {
            NSNode::HitResult r = node->hitTestAll(offset);
            hits += r.hit ? 1 : 0;
        }
        benchmark::DoNotOptimize(hits);
    }
    state.counters["hits/iter"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
    state.SetItemsProcessed(state.iterations() * static_cast<int64_t>(nodes.size()) *
                            static_cast<int64_t>(nodes.size() - 1));
    ControllerNode::inUse().clearHits();
    for (NodeTransform* node : nodes)
        delete node;
}

} // namespace

BENCHMARK(BM_HitTestAll)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
