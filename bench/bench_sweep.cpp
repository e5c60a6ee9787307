// A handle drag's sweep: one pointer jump that carries an object 200 units
// across a room of n other objects, tested in 0.25 unit steps against every
// registered node, as the game does for each mouse event of a drag.
#include <benchmark/benchmark.h>

#include <vector>

#include "scene/DragSweep.h"
#include "scenegraph/BoundingVolume.h"
#include "scenegraph/ControllerNode.h"
#include "scenegraph/NodeTransform.h"

using NSNode::BoundingVolume;
using NSNode::NodeTransform;

namespace {

void BM_DragSweep(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::vector<NodeTransform*> nodes;
    auto* room = new NodeTransform(true);
    room->setBoundingVolume(BoundingVolume::makeRoomVolume(Vector3(), Vector3(400, 400, 400)));
    room->registerForHits();
    nodes.push_back(room);
    // Obstacles off the path, so the sweep runs its whole length.
    for (int i = 0; i < n; ++i) {
        auto* other = new NodeTransform(true);
        other->setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(), 3.0f));
        const float column = static_cast<float>(i % 100);
        const float row = static_cast<float>(i / 100);
        other->setPosition(Vector3(-150.0f + 3.0f * column, 50.0f + 8.0f * row, 0.0f));
        other->registerForHits();
        nodes.push_back(other);
    }
    auto* moved = new NodeTransform(true);
    moved->setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(), 5.0f));
    moved->registerForHits();
    nodes.push_back(moved);
    auto blocked = [&]() {
        for (NodeTransform* other : NSNode::ControllerNode::inUse().nodes())
            if (other != moved && moved->overlaps(other, Vector3()))
                return true;
        return false;
    };
    for (auto _ : state) {
        const Vector3 end = NSScene::sweepMove(
            Vector3(-100, 0, 0), Vector3(100, 0, 0), [&](const Vector3& p) { moved->setPosition(p); }, blocked);
        benchmark::DoNotOptimize(end);
    }
    for (NodeTransform* node : nodes)
        delete node;
}

} // namespace

BENCHMARK(BM_DragSweep)->Arg(10)->Arg(100)->Unit(benchmark::kMillisecond);
