#include "physics/BroadPhase.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include "persistence/ClassIds.h"
#include "scenegraph/BoundingVolume.h"
#include "scenegraph/ControllerNode.h"
#include "scenegraph/NodeTransform.h"

using NSNode::BoundingVolume;
using NSNode::NodeTransform;

namespace NSPhysical {

namespace {

// Widens every radius a little. The sphere values are bit for bit those of
// the hit test; the margin only has to cover comparing squared distances
// instead of lengths.
constexpr float kRadiusMargin = 1.0f + 1.0e-5f;

// A query widens its box by this factor: the sphere test runs on rounded
// differences and squares, which may come out a few units in the last place
// below the true distance.
constexpr float kQuerySlack = 1.0f + 1.0e-4f;

// The cell size is kCellPerRadius times the typical radius (the one nine in
// ten spheres stay within); spheres up to kAdmitPerRadius times it go into
// the grid. Measured on falling balls: cells of two radii cost a quarter more.
constexpr float kCellPerRadius = 4.0f;
constexpr float kAdmitPerRadius = 2.0f;

// Cell coordinates stay within this, so that they fit an int32.
constexpr float kLargestCell = 1073741824.0f;

// Fewer buckets than this are never worth it.
constexpr size_t kMinBuckets = 64;

// Out-of-grid spheres a rebuild tolerates before it picks a new cell size.
constexpr size_t kMinLooseLimit = 64;

// Whether node or anything it hangs from changed after stamp.
bool changedSince(const NodeTransform* node, std::uint64_t stamp) {
    for (const NodeTransform* n = node; n; n = n->getParent())
        if (n->changeStamp() > stamp)
            return true;
    return false;
}

// The least width of volume's spheres and boxes placed by world; infinite
// for rooms, planes and volumes without solids.
float thinnestSolid(const BoundingVolume& volume, const Matrix4& world) {
    float thinnest = std::numeric_limits<float>::infinity();
    for (const BoundingVolume::Volume* solid : volume.getVolumes()) {
        const Vector3 c = world.transformPoint(solid->getCenter());
        if (solid->classId() == CLASS_VOLUME_SPHERE) {
            const float r = static_cast<const BoundingVolume::Sphere*>(solid)->getRadius();
            thinnest = std::min(thinnest, 2.0f * length(world.transformPoint(solid->getCenter() + Vector3(r, 0, 0)) - c));
        } else if (solid->classId() == CLASS_VOLUME_BOX) {
            const auto* box = static_cast<const BoundingVolume::Box*>(solid);
            for (const Vector3& axis : {box->getAxisPointX(), box->getAxisPointY(), box->getAxisPointZ()})
                thinnest = std::min(thinnest, 2.0f * length(world.transformPoint(axis) - c));
        }
    }
    return thinnest;
}

} // namespace

// As BoundingVolume::setTransform places the outer sphere.
BroadPhase::Reach BroadPhase::reachFor(const NodeTransform* node, const Matrix4& world) {
    Reach reach;
    const BoundingVolume* volume = node ? node->getBoundingVolume() : nullptr;
    if (!volume)
        return reach;
    reach.thickness = volume->isEverywhere() ? std::numeric_limits<float>::infinity() : thinnestSolid(*volume, world);
    if (volume->isUnbounded()) {
        reach.kind = Reach::UNBOUNDED;
        return reach;
    }
    const BoundingVolume::Sphere& outer = volume->getOuterSphere();
    reach.kind = Reach::SPHERE;
    reach.center = world.transformPoint(outer.getCenter());
    const float radius = length(world.transformPoint(outer.getCenter() + Vector3(outer.getRadius(), 0, 0)) -
                                reach.center);
    reach.radius = radius * kRadiusMargin;
    return reach;
}

BroadPhase::Reach BroadPhase::reachOf(NodeTransform* node, const Vector3& offset) {
    if (!node || !node->getBoundingVolume())
        return Reach();
    // NodeTransform::hitTest adds the offset to the translation column.
    Matrix4 world = node->worldMatrix();
    world.m[12] += offset.x;
    world.m[13] += offset.y;
    world.m[14] += offset.z;
    return reachFor(node, world);
}

bool BroadPhase::reaches(const Reach& mover, const Reach& other) {
    if (mover.kind == Reach::NONE || other.kind == Reach::NONE)
        return false;
    if (mover.kind == Reach::UNBOUNDED || other.kind == Reach::UNBOUNDED)
        return true;
    const Vector3 d = mover.center - other.center;
    const float reach = mover.radius + other.radius;
    // Written so that values that are not numbers keep the node a candidate.
    return !(dot(d, d) >= reach * reach);
}

void BroadPhase::update() {
    if (stale || regrid || world->version() != registryVersion) {
        rebuild();
        return;
    }
    const std::uint64_t last = world->lastChangeStamp();
    if (last == synced)
        return;
    if (last - synced > NodeTransform::kChangeLogSize) {
        scan();
    } else {
        for (std::uint64_t s = synced + 1; s <= last; ++s) {
            NodeTransform* changed = world->changedNode(s);
            // A node that changed again later is taken at its last change.
            if (changed && changed->changeStamp() == s)
                follow(changed);
        }
    }
    synced = last;
}

void BroadPhase::rebuild() {
    const std::vector<NodeTransform*>& nodes = world->nodes();
    // Spheres of nodes that stay registered and did not change are kept; a
    // stale broad phase takes nothing over.
    std::vector<Entry> old;
    old.swap(entries);
    std::unordered_map<const NodeTransform*, std::uint32_t> oldIndex;
    oldIndex.swap(indexOf);
    if (stale)
        oldIndex.clear();
    entries.assign(nodes.size(), Entry());
    indexOf.reserve(nodes.size());
    for (size_t i = 0; i < nodes.size(); ++i) {
        NodeTransform* node = nodes[i];
        Entry& e = entries[i];
        e.node = node;
        if (!node)
            continue;
        indexOf.emplace(node, static_cast<std::uint32_t>(i));
        const auto known = oldIndex.find(node);
        if (known != oldIndex.end() && !changedSince(node, synced)) {
            e.reach = old[known->second].reach;
            ++keptCount;
        } else {
            e.reach = reachFor(node, node->worldMatrix());
            ++recomputedCount;
        }
    }

    chooseCellSize();
    size_t buckets = kMinBuckets;
    while (buckets < 2 * entries.size())
        buckets *= 2;
    heads.assign(buckets, kNone);
    loose.clear();
    gridRadius = 0.0f;
    for (size_t i = 0; i < entries.size(); ++i)
        place(static_cast<std::uint32_t>(i));
    looseLimit = std::max({kMinLooseLimit, entries.size() / 4, 2 * loose.size()});
    query = 0;

    registryVersion = world->version();
    synced = world->lastChangeStamp();
    stale = false;
    regrid = false;
}

void BroadPhase::scan() {
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].node && changedSince(entries[i].node, synced))
            recompute(static_cast<std::uint32_t>(i));
        else
            ++keptCount;
    }
}

void BroadPhase::follow(NodeTransform* node) {
    pending.clear();
    pending.push_back(node);
    while (!pending.empty()) {
        NodeTransform* n = pending.back();
        pending.pop_back();
        if (n->isRegistered()) {
            const auto found = indexOf.find(n);
            if (found != indexOf.end())
                recompute(found->second);
        }
        for (NodeTransform* child : n->getChildren())
            pending.push_back(child);
    }
}

void BroadPhase::recompute(std::uint32_t i) {
    Entry& e = entries[i];
    e.reach = reachFor(e.node, e.node->worldMatrix());
    ++recomputedCount;
    bool isLoose = false;
    const std::uint32_t home = homeOf(i, isLoose);
    if (!isLoose && home != kNone && home == e.bucket) {
        gridRadius = std::max(gridRadius, e.reach.radius);
        return;
    }
    unplace(i);
    place(i);
}

void BroadPhase::chooseCellSize() {
    std::vector<float> radii;
    radii.reserve(entries.size());
    for (const Entry& e : entries)
        if (e.reach.kind == Reach::SPHERE && isFinite(e.reach.center) && std::isfinite(e.reach.radius))
            radii.push_back(e.reach.radius);
    float typical = 0.0f;
    if (!radii.empty()) {
        const auto at = radii.begin() + static_cast<long>((radii.size() - 1) * 9 / 10);
        std::nth_element(radii.begin(), at, radii.end());
        typical = *at;
    }
    cellSize = typical > 0.0f ? kCellPerRadius * typical : 1.0f;
    if (!(cellSize >= 1.0e-4f) || !std::isfinite(cellSize))
        cellSize = std::isfinite(cellSize) ? 1.0e-4f : 1.0f;
    inverseCellSize = 1.0f / cellSize;
    admitRadius = std::max(kAdmitPerRadius * typical, 0.5f * cellSize);
}

bool BroadPhase::cellsAround(const Vector3& center, float halfWidth, Cells& cells) const {
    const float c[3] = {center.x, center.y, center.z};
    for (int a = 0; a < 3; ++a) {
        // Rounding only ever moves these outwards or onto the value itself,
        // and floor(x * inverseCellSize) never decreases as x grows, so a
        // centre inside the box lies in one of the cells.
        const float lo = std::floor((c[a] - halfWidth) * inverseCellSize);
        const float hi = std::floor((c[a] + halfWidth) * inverseCellSize);
        // Also false for values that are not numbers.
        if (!(lo >= -kLargestCell && hi <= kLargestCell))
            return false;
        cells.lo[a] = static_cast<std::int32_t>(lo);
        cells.hi[a] = static_cast<std::int32_t>(hi);
    }
    return true;
}

std::uint32_t BroadPhase::bucketOf(std::int32_t x, std::int32_t y, std::int32_t z) const {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8da6b343u;
    h ^= static_cast<std::uint32_t>(y) * 0xd8163841u;
    h ^= static_cast<std::uint32_t>(z) * 0xcb1ab31fu;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    return h & static_cast<std::uint32_t>(heads.size() - 1);
}

std::uint32_t BroadPhase::homeOf(std::uint32_t i, bool& isLoose) const {
    const Reach& r = entries[i].reach;
    isLoose = false;
    if (r.kind == Reach::NONE)
        return kNone;
    // Also false for a radius that is not a number.
    if (r.kind == Reach::SPHERE && r.radius <= admitRadius) {
        Cells cells;
        if (cellsAround(r.center, 0.0f, cells))
            return bucketOf(cells.lo[0], cells.lo[1], cells.lo[2]);
    }
    isLoose = true;
    return kNone;
}

void BroadPhase::place(std::uint32_t i) {
    bool isLoose = false;
    const std::uint32_t home = homeOf(i, isLoose);
    Entry& e = entries[i];
    if (isLoose) {
        e.loosePlace = static_cast<std::uint32_t>(loose.size());
        loose.push_back(i);
        if (loose.size() > looseLimit)
            regrid = true;
        return;
    }
    if (home == kNone)
        return;
    e.bucket = home;
    e.prev = kNone;
    e.next = heads[home];
    if (e.next != kNone)
        entries[e.next].prev = i;
    heads[home] = i;
    gridRadius = std::max(gridRadius, e.reach.radius);
}

void BroadPhase::unplace(std::uint32_t i) {
    Entry& e = entries[i];
    if (e.bucket != kNone) {
        if (e.prev != kNone)
            entries[e.prev].next = e.next;
        else
            heads[e.bucket] = e.next;
        if (e.next != kNone)
            entries[e.next].prev = e.prev;
        e.bucket = e.prev = e.next = kNone;
    }
    if (e.loosePlace != kNone) {
        const std::uint32_t moved = loose.back();
        loose[e.loosePlace] = moved;
        entries[moved].loosePlace = e.loosePlace;
        loose.pop_back();
        e.loosePlace = kNone;
    }
}

void BroadPhase::linearCandidates(const Reach& mover, std::vector<std::uint32_t>& out) const {
    for (size_t i = 0; i < entries.size(); ++i)
        if (reaches(mover, entries[i].reach))
            out.push_back(static_cast<std::uint32_t>(i));
}

void BroadPhase::candidates(const Reach& mover, std::vector<std::uint32_t>& out) {
    out.clear();
    if (mover.kind == Reach::NONE)
        return;
    // An unbounded mover, or one that cannot be put in cells, is tested
    // against everything; so is one whose box covers more cells than there
    // are nodes.
    Cells cells;
    if (mover.kind != Reach::SPHERE ||
        !cellsAround(mover.center, (mover.radius + gridRadius) * kQuerySlack, cells)) {
        linearCandidates(mover, out);
        return;
    }
    std::uint64_t count = 1;
    for (int a = 0; a < 3; ++a) {
        count *= static_cast<std::uint64_t>(static_cast<std::int64_t>(cells.hi[a]) - cells.lo[a] + 1);
        if (count > entries.size()) {
            linearCandidates(mover, out);
            return;
        }
    }

    if (++query == 0) {
        for (Entry& e : entries)
            e.seen = 0;
        query = 1;
    }
    // Two cells of the box may share a bucket: seen keeps an entry from
    // being taken twice.
    for (std::int32_t x = cells.lo[0]; x <= cells.hi[0]; ++x) {
        for (std::int32_t y = cells.lo[1]; y <= cells.hi[1]; ++y) {
            for (std::int32_t z = cells.lo[2]; z <= cells.hi[2]; ++z) {
                for (std::uint32_t i = heads[bucketOf(x, y, z)]; i != kNone; i = entries[i].next) {
                    Entry& e = entries[i];
                    if (e.seen == query)
                        continue;
                    e.seen = query;
                    if (reaches(mover, e.reach))
                        out.push_back(i);
                }
            }
        }
    }
    for (std::uint32_t i : loose)
        if (reaches(mover, entries[i].reach))
            out.push_back(i);
    std::sort(out.begin(), out.end());
}

} // namespace NSPhysical
