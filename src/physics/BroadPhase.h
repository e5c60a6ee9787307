#pragma once
// Which registered nodes a moving body can possibly hit, so that the
// collision code runs the full hit test only on those.
//
// Two bounded volumes can only hit when their outer spheres overlap: that is
// the first thing BoundingVolume::hitTest checks. The broad phase keeps the
// world outer sphere of every registered node, in registration order, and
// rejects a node whose sphere is out of reach of the mover's. Nodes with an
// unbounded volume always stay candidates, nodes without a volume never are.
// The spheres are worked out with the very matrix operations the hit test
// uses, and compared with a small margin, so a rejected node is one the hit
// test would have rejected too: the same contacts are found, in the same
// order, as by a walk over every registered node.
//
// The spheres are only right while nothing moves behind the broad phase's
// back. The collision code refreshes them at the start of every outermost
// move and reports each displacement it makes during the recursion through
// moved().
#include <cstdint>
#include <vector>

#include "scenegraph/Matrix4.h"
#include "scenegraph/Vector3.h"

namespace NSNode {
class BoundingVolume;
class NodeTransform;
} // namespace NSNode

namespace NSPhysical {

class BroadPhase {
public:
    // The world outer sphere of one node.
    struct Reach {
        enum Kind : std::uint8_t { NONE, SPHERE, UNBOUNDED };
        Vector3 center;
        // The world radius, widened by the comparison margin.
        float radius = 0.0f;
        Kind kind = NONE;
    };

    // Takes the registered nodes as they stand now. Nodes that have not
    // changed since the last refresh keep their spheres without new matrix
    // products.
    void refresh();
    // node was translated: its sphere follows. A node with children moves
    // them along, and they may be registered too, so then everything is
    // refreshed before the next query.
    void moved(NSNode::NodeTransform* node);
    bool needsRefresh() const { return stale; }
    void markStale() { stale = true; }

    // The sphere of node displaced by offset (world coordinates), as the hit
    // test places it.
    Reach reachOf(NSNode::NodeTransform* node, const Vector3& offset) const;

    size_t size() const { return entries.size(); }
    NSNode::NodeTransform* node(size_t i) const { return entries[i].node; }
    // False only when the hit test of mover against the i-th node cannot hit.
    bool mayHit(const Reach& mover, size_t i) const;

    // The refresh statistics, for the benchmarks: spheres computed anew and
    // spheres kept since the process started.
    std::uint64_t recomputed() const { return recomputedCount; }
    std::uint64_t kept() const { return keptCount; }

private:
    // What a node's world sphere is made of: when all of it is unchanged,
    // so is the sphere.
    struct Source {
        // Whether node stands as recorded here.
        bool matches(const NSNode::NodeTransform* node) const;

        const NSNode::NodeTransform* parent = nullptr;
        Vector3 position;
        Matrix4 rotation;
        Matrix4 scale;
        const NSNode::BoundingVolume* volume = nullptr;
        Vector3 localCenter;
        float localRadius = 0.0f;
        bool unbounded = false;
    };
    struct Entry {
        NSNode::NodeTransform* node = nullptr;
        Reach reach;
        Source source;
    };
    // A parent of registered nodes and its world matrix.
    struct Parent {
        const NSNode::NodeTransform* node = nullptr;
        Matrix4 world;
        bool changed = true;
        bool seen = false;
    };

    static Source sourceOf(const NSNode::NodeTransform* node);
    static Reach reachFor(const NSNode::NodeTransform* node, const Matrix4& world);
    Parent& parentState(const NSNode::NodeTransform* parent);

    std::vector<Entry> entries;
    std::vector<Parent> parents;
    size_t lastParent = 0;
    bool stale = true;
    std::uint64_t recomputedCount = 0;
    std::uint64_t keptCount = 0;
};

} // namespace NSPhysical
