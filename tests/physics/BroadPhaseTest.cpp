#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "physics/BroadPhase.h"
#include "scenegraph/BoundingVolume.h"
#include "scenegraph/ControllerNode.h"
#include "scenegraph/NodeTransform.h"

using NSNode::BoundingVolume;
using NSNode::NodeTransform;
using NSPhysical::BroadPhase;

namespace {

using Indices = std::vector<std::uint32_t>;

NodeTransform* sphereNode(NodeTransform* parent, const Vector3& at, float radius) {
    auto* n = new NodeTransform(true);
    n->setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(), radius));
    n->setPosition(at);
    n->registerForHits();
    parent->addChild(n);
    return n;
}

// Every i the sphere test lets through, the slow way.
Indices allInReach(const BroadPhase& phase, const BroadPhase::Reach& mover) {
    Indices all;
    for (size_t i = 0; i < phase.size(); ++i)
        if (phase.mayHit(mover, i))
            all.push_back(static_cast<std::uint32_t>(i));
    return all;
}

// A crowd of small spheres, a few large ones (off their origin, so turning
// moves them), a room, a node without a volume and one whose position is not
// a number; some hang from an unregistered carrier.
struct Crowd {
    std::unique_ptr<NodeTransform> root{new NodeTransform(true)};
    NodeTransform* carrier = nullptr;
    std::vector<NodeTransform*> nodes;
    std::mt19937 random{3};

    Crowd() {
        std::uniform_real_distribution<float> place(-100.0f, 100.0f), size(1.0f, 5.0f);
        for (int i = 0; i < 400; ++i)
            nodes.push_back(sphereNode(root.get(), Vector3(place(random), place(random), place(random)), size(random)));
        for (int i = 0; i < 5; ++i) {
            auto* big = new NodeTransform(true);
            big->setBoundingVolume(BoundingVolume::makeBoxVolume(Vector3(30, 0, 0), Vector3(60, 20, 8)));
            big->setPosition(Vector3(place(random), place(random), place(random)));
            big->registerForHits();
            root->addChild(big);
            nodes.push_back(big);
        }
        auto* room = new NodeTransform(true);
        room->setBoundingVolume(BoundingVolume::makeRoomVolume(Vector3(), Vector3(200, 200, 200)));
        room->registerForHits();
        root->addChild(room);
        auto* empty = new NodeTransform(true);
        empty->setBoundingVolume(nullptr);
        empty->registerForHits();
        root->addChild(empty);
        const float nan = std::numeric_limits<float>::quiet_NaN();
        nodes.push_back(sphereNode(root.get(), Vector3(nan, 0, 0), 2.0f));
        carrier = new NodeTransform(true);
        root->addChild(carrier);
        for (int i = 0; i < 10; ++i)
            nodes.push_back(sphereNode(carrier, Vector3(place(random), 0, place(random)), 3.0f));
    }

    // Movers of every kind: each node where it stands and pushed along;
    // huge; far out; unbounded; without a volume; not a number.
    std::vector<BroadPhase::Reach> movers() {
        std::vector<BroadPhase::Reach> all;
        std::uniform_real_distribution<float> push(-8.0f, 8.0f);
        for (NodeTransform* n : nodes) {
            all.push_back(BroadPhase::reachOf(n, Vector3()));
            all.push_back(BroadPhase::reachOf(n, Vector3(push(random), push(random), push(random))));
        }
        BroadPhase::Reach r;
        r.kind = BroadPhase::Reach::SPHERE;
        r.radius = 1.0e6f;
        all.push_back(r);
        r.radius = 40.0f;
        r.center = Vector3(1.0e12f, 0, 0);
        all.push_back(r);
        r.center = Vector3(0, std::numeric_limits<float>::infinity(), 0);
        all.push_back(r);
        r.kind = BroadPhase::Reach::UNBOUNDED;
        all.push_back(r);
        r.kind = BroadPhase::Reach::NONE;
        all.push_back(r);
        return all;
    }
};

// The candidates of phase are those of a broad phase that has just taken
// every node anew, and exactly those the sphere test lets through.
void expectUpToDate(BroadPhase& phase, Crowd& crowd) {
    phase.update();
    BroadPhase fresh;
    fresh.update();
    ASSERT_EQ(phase.size(), fresh.size());
    Indices got, want;
    size_t nonEmpty = 0;
    for (const BroadPhase::Reach& mover : crowd.movers()) {
        phase.candidates(mover, got);
        want = allInReach(fresh, mover);
        ASSERT_EQ(got, want) << "mover at " << mover.center.x << ", " << mover.center.y << ", " << mover.center.z
                             << " radius " << mover.radius;
        nonEmpty += got.size() > 2 ? 1 : 0;
    }
    EXPECT_GT(nonEmpty, 100u);
}

} // namespace

// The candidates are the nodes in reach, in registration order, and every
// way a node can change where it stands is followed by the next update.
TEST(BroadPhase, FollowsEveryChangeOfTheNodes) {
    Crowd crowd;
    BroadPhase phase;
    expectUpToDate(phase, crowd);
    // Nothing moved: the next update works nothing out.
    const std::uint64_t before = phase.recomputed() + phase.kept();
    phase.update();
    EXPECT_EQ(phase.recomputed() + phase.kept(), before);
    std::vector<NodeTransform*>& n = crowd.nodes;

    n[0]->translate(Vector3(3, 0, 0));
    n[1]->setPosition(Vector3(-150, 40, 7));
    n[400]->rotate(Vector3(0, 1.2f, 0));
    n[2]->setScale(3.0f);
    n[3]->setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(0, 9, 0), 6.0f));
    expectUpToDate(phase, crowd);

    // Moving and turning the carrier moves what hangs from it.
    crowd.carrier->translate(Vector3(0, 30, 0));
    crowd.carrier->rotate(Vector3(0.3f, 0, 0));
    expectUpToDate(phase, crowd);

    // A node taken into the carrier, and one taken out of it.
    crowd.root->removeChild(n[4]);
    crowd.carrier->addChild(n[4]);
    NodeTransform* leaving = crowd.carrier->getChildren().front();
    crowd.carrier->removeChild(leaving);
    crowd.root->addChild(leaving);
    expectUpToDate(phase, crowd);

    // A volume edited in place and handed back.
    n[5]->getBoundingVolume()->setOuterSphere(Vector3(), 25.0f);
    n[5]->setBoundingVolume(n[5]->getBoundingVolume());
    expectUpToDate(phase, crowd);

    // Nodes leaving and joining the registry, one destroyed on the way;
    // a node made afterwards may sit where it was.
    n[6]->unregisterForHits();
    n[6]->registerForHits();
    n[7]->translate(Vector3(1, 1, 1));
    crowd.root->removeChild(n[8]);
    delete n[8];
    n[8] = sphereNode(crowd.root.get(), Vector3(5, 5, 5), 2.0f);
    expectUpToDate(phase, crowd);

    // More changes than the change log holds.
    std::uniform_real_distribution<float> push(-20.0f, 20.0f);
    for (int round = 0; round < 3; ++round)
        for (NodeTransform* node : n)
            node->translate(Vector3(push(crowd.random), push(crowd.random), push(crowd.random)));
    expectUpToDate(phase, crowd);

    // Most spheres grown far beyond the cell size: they leave the grid, and
    // the next update picks a new cell size.
    for (size_t i = 0; i < 300; ++i)
        n[i]->setScale(12.0f);
    expectUpToDate(phase, crowd);
    expectUpToDate(phase, crowd);
}

// A sphere that grows where it stands reaches into the next cell of the grid: a mover there finds it at once.
TEST(BroadPhase, FindsASphereThatGrewWhereItStandsFromTheNextCell) {
    NodeTransform root(true);
    for (int i = 0; i < 40; ++i)
        sphereNode(&root, Vector3(100.0f + 3.0f * static_cast<float>(i), 0, 0), 1.0f); // cells of 4 units
    NodeTransform* growing = sphereNode(&root, Vector3(3.9f, 0, 0), 1.0f);
    NodeTransform* neighbour = sphereNode(&root, Vector3(6.5f, 0, 0), 1.0f);
    BroadPhase phase;
    Indices found;
    for (float scale : {1.0f, 1.9f}) {
        growing->setScale(scale);
        phase.update();
        phase.candidates(BroadPhase::reachOf(neighbour, Vector3()), found);
        EXPECT_EQ(found.size() == 2 && phase.node(found[0]) == growing, scale > 1.0f) << scale;
    }
}
