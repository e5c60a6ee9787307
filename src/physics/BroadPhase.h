#pragma once
// Which registered nodes a moving body can possibly hit, so that the
// collision code runs the full hit test only on those.
//
// Two bounded volumes can only hit when their outer spheres overlap: that is
// the first thing BoundingVolume::hitTest checks. The broad phase keeps the
// world outer sphere of every registered node, by registration index, and
// rejects a node whose sphere is out of reach of the mover's. Nodes with an
// unbounded volume always stay candidates, nodes without a volume never are.
// The spheres are worked out with the very matrix operations the hit test
// uses, and compared with a small margin, so a rejected node is one the hit
// test would have rejected too. The candidates come out in registration
// order: the same contacts are found, in the same order, as by a walk over
// every registered node.
//
// Keeping up: the collision code calls update() before every query. When
// nodes were registered or unregistered since the last call, it takes the
// registry anew (keeping the spheres of nodes that did not change). Otherwise
// it asks NodeTransform which nodes changed since then (every change of where
// a node stands takes a stamp) and works out the spheres of those and of the
// registered nodes below them, so a call costs about as much as what changed;
// only when more changed than NodeTransform's change log remembers does it
// look at the stamps of every registered node. A volume edited in place
// counts as changed once it is handed to setBoundingVolume again.
//
// Finding: the spheres sit in a uniform grid by the cell of their centre,
// the cells hashed into buckets. A cell is a few times as wide as a typical
// sphere; much larger spheres, unbounded volumes and spheres whose values are
// not finite stay out of the grid and are looked at by every query. A query
// looks at the cells within its own radius plus the largest radius in the
// grid, so it finds every sphere it may reach; the found ones are sorted.
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "math/Matrix4.h"
#include "math/Vector3.h"
#include "scenegraph/ControllerNode.h"

namespace NSNode {
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
        // The least width of the node's thinnest sphere or box in any
        // direction (infinite when it has none): a move no longer than this
        // cannot skip over it.
        float thickness = 0.0f;
        Kind kind = NONE;
    };

    // Over the registered nodes of a world (by default the one in use).
    explicit BroadPhase(const NSNode::ControllerNode& world = NSNode::ControllerNode::inUse()) : world(&world) {}

    // Brings the spheres up to the registry and the nodes as they stand now.
    void update();
    // Everything is worked out anew by the next update.
    void markStale() { stale = true; }

    // The sphere of node displaced by offset (world coordinates), as the hit
    // test places it.
    static Reach reachOf(NSNode::NodeTransform* node, const Vector3& offset);

    // The registered nodes as of the last update, in registration order.
    size_t size() const { return entries.size(); }
    NSNode::NodeTransform* node(size_t i) const { return entries[i].node; }
    // False only when the hit test of mover against the i-th node cannot hit.
    bool mayHit(const Reach& mover, size_t i) const { return reaches(mover, entries[i].reach); }
    // The i-th node's thickness as of the last update.
    float thickness(size_t i) const { return entries[i].reach.thickness; }
    // False only when nothing within the two spheres can meet.
    static bool reaches(const Reach& a, const Reach& b);
    // Fills out with every i for which mayHit(mover, i) holds, ascending.
    void candidates(const Reach& mover, std::vector<std::uint32_t>& out);

    // Spheres computed anew and spheres found unchanged by a full look at
    // the registry, since this broad phase was made; for the benchmarks.
    std::uint64_t recomputed() const { return recomputedCount; }
    std::uint64_t kept() const { return keptCount; }

private:
    static constexpr std::uint32_t kNone = 0xffffffffu;

    struct Entry {
        NSNode::NodeTransform* node = nullptr;
        Reach reach;
        // In the grid: its bucket and its neighbours in the bucket's list.
        std::uint32_t bucket = kNone;
        std::uint32_t prev = kNone;
        std::uint32_t next = kNone;
        // Out of the grid but looked at by every query: its place in loose.
        std::uint32_t loosePlace = kNone;
        // The last query that met it.
        std::uint32_t seen = 0;
    };
    // A range of grid cells.
    struct Cells {
        std::int32_t lo[3];
        std::int32_t hi[3];
    };

    static Reach reachFor(const NSNode::NodeTransform* node, const Matrix4& world);

    void rebuild();
    void scan();
    // Works out node's sphere, if it is registered, and those of the
    // registered nodes below it.
    void follow(NSNode::NodeTransform* node);
    void recompute(std::uint32_t i);
    void chooseCellSize();
    // False when the box around center cannot be put in cells.
    bool cellsAround(const Vector3& center, float halfWidth, Cells& cells) const;
    std::uint32_t bucketOf(std::int32_t x, std::int32_t y, std::int32_t z) const;
    // Where entry i belongs with its current sphere: a bucket, kNone for
    // the loose list, or nowhere (no volume).
    std::uint32_t homeOf(std::uint32_t i, bool& loose) const;
    void place(std::uint32_t i);
    void unplace(std::uint32_t i);
    void linearCandidates(const Reach& mover, std::vector<std::uint32_t>& out) const;

    std::vector<Entry> entries;
    std::unordered_map<const NSNode::NodeTransform*, std::uint32_t> indexOf;
    // The first entry of every bucket's list.
    std::vector<std::uint32_t> heads;
    std::vector<std::uint32_t> loose;
    std::vector<NSNode::NodeTransform*> pending;
    // More spheres out of the grid than this ask for a new cell size.
    size_t looseLimit = 0;
    float cellSize = 1.0f;
    float inverseCellSize = 1.0f;
    // Spheres up to this radius go into the grid.
    float admitRadius = 0.0f;
    // The largest radius in the grid; it only grows until the next rebuild.
    float gridRadius = 0.0f;
    // The registry and the change stamp the spheres stand at.
    const NSNode::ControllerNode* world;
    std::uint64_t registryVersion = 0;
    std::uint64_t synced = 0;
    std::uint32_t query = 0;
    bool stale = true;
    // Too many spheres ended up out of the grid: the next update picks a new
    // cell size.
    bool regrid = false;
    std::uint64_t recomputedCount = 0;
    std::uint64_t keptCount = 0;
};

} // namespace NSPhysical
