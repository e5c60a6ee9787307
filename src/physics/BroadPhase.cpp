#include "physics/BroadPhase.h"

#include <cstdint>
#include <cstring>

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

// Bit for bit, so that a value that is not a number still equals itself.
bool sameBits(const float* a, const float* b, int n) {
    std::uint32_t diff = 0;
    for (int i = 0; i < n; ++i) {
        std::uint32_t x, y;
        std::memcpy(&x, a + i, sizeof x);
        std::memcpy(&y, b + i, sizeof y);
        diff |= x ^ y;
    }
    return diff == 0;
}

bool sameBits(const Vector3& a, const Vector3& b) {
    const float x[3] = {a.x, a.y, a.z}, y[3] = {b.x, b.y, b.z};
    return sameBits(x, y, 3);
}
bool sameBits(const Matrix4& a, const Matrix4& b) { return sameBits(a.m, b.m, 16); }
bool sameBits(float a, float b) { return sameBits(&a, &b, 1); }

} // namespace

bool BroadPhase::Source::matches(const NodeTransform* node) const {
    if (node->getParent() != parent || node->getBoundingVolume() != volume)
        return false;
    if (!sameBits(node->getPosition(), position) || !sameBits(node->getRotationMatrix(), rotation) ||
        !sameBits(node->getScaleMatrix(), scale))
        return false;
    if (!volume)
        return true;
    const BoundingVolume::Sphere& outer = node->getBoundingVolume()->getOuterSphere();
    return volume->isUnbounded() == unbounded && sameBits(outer.getCenter(), localCenter) &&
           sameBits(outer.getRadius(), localRadius);
}

BroadPhase::Source BroadPhase::sourceOf(const NodeTransform* node) {
    Source s;
    s.parent = node->getParent();
    s.position = node->getPosition();
    s.rotation = node->getRotationMatrix();
    s.scale = node->getScaleMatrix();
    const BoundingVolume* volume = node->getBoundingVolume();
    s.volume = volume;
    if (volume) {
        s.localCenter = volume->getOuterSphere().getCenter();
        s.localRadius = volume->getOuterSphere().getRadius();
        s.unbounded = volume->isUnbounded();
    }
    return s;
}

// As BoundingVolume::setTransform places the outer sphere.
BroadPhase::Reach BroadPhase::reachFor(const NodeTransform* node, const Matrix4& world) {
    Reach reach;
    const BoundingVolume* volume = node ? node->getBoundingVolume() : nullptr;
    if (!volume)
        return reach;
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

BroadPhase::Reach BroadPhase::reachOf(NodeTransform* node, const Vector3& offset) const {
    if (!node || !node->getBoundingVolume())
        return Reach();
    // NodeTransform::hitTest adds the offset to the translation column.
    Matrix4 world = node->worldMatrix();
    world.m[12] += offset.x;
    world.m[13] += offset.y;
    world.m[14] += offset.z;
    return reachFor(node, world);
}

BroadPhase::Parent& BroadPhase::parentState(const NodeTransform* parent) {
    if (lastParent >= parents.size() || parents[lastParent].node != parent) {
        lastParent = 0;
        while (lastParent < parents.size() && parents[lastParent].node != parent)
            ++lastParent;
        if (lastParent == parents.size()) {
            Parent fresh;
            fresh.node = parent;
            parents.push_back(fresh);
        }
    }
    Parent& p = parents[lastParent];
    if (!p.seen) {
        const Matrix4 world = parent->worldMatrix();
        p.changed = p.changed || !sameBits(world, p.world);
        p.world = world;
        p.seen = true;
    }
    return p;
}

void BroadPhase::refresh() {
    const std::vector<NodeTransform*>& nodes = NSNode::ControllerNode::instance().nodes();
    for (Parent& p : parents) {
        p.seen = false;
        p.changed = false;
    }
    entries.resize(nodes.size());
    for (size_t i = 0; i < nodes.size(); ++i) {
        Entry& e = entries[i];
        NodeTransform* node = nodes[i];
        if (!node) {
            e = Entry();
            continue;
        }
        const NodeTransform* parentNode = node->getParent();
        const Parent* parent = parentNode ? &parentState(parentNode) : nullptr;
        if (e.node == node && e.source.matches(node) && !(parent && parent->changed)) {
            ++keptCount;
            continue;
        }
        e.node = node;
        e.source = sourceOf(node);
        e.reach = reachFor(node, parent ? parent->world * node->localMatrix() : node->localMatrix());
        ++recomputedCount;
    }
    // Parents that no longer hold registered nodes are forgotten; one that
    // comes back counts as changed.
    size_t kept = 0;
    for (size_t i = 0; i < parents.size(); ++i)
        if (parents[i].seen)
            parents[kept++] = parents[i];
    parents.resize(kept);
    lastParent = 0;
    stale = false;
}

void BroadPhase::moved(NodeTransform* node) {
    if (stale || !node)
        return;
    for (Entry& e : entries) {
        if (e.node != node)
            continue;
        e.source = sourceOf(node);
        e.reach = reachFor(node, node->worldMatrix());
        ++recomputedCount;
    }
    if (!node->getChildren().empty())
        stale = true;
}

bool BroadPhase::mayHit(const Reach& mover, size_t i) const {
    const Reach& other = entries[i].reach;
    if (mover.kind == Reach::NONE || other.kind == Reach::NONE)
        return false;
    if (mover.kind == Reach::UNBOUNDED || other.kind == Reach::UNBOUNDED)
        return true;
    const Vector3 d = mover.center - other.center;
    const float reach = mover.radius + other.radius;
    // Written so that values that are not numbers keep the node a candidate.
    return !(dot(d, d) >= reach * reach);
}

} // namespace NSPhysical
