// The end of a body's step: overlapping spheres are moved apart, and a
// fast body wakes the sleepers it passes (see docs/physics.md, "Piles").
#include <cmath>
#include <cstdint>
#include <vector>

#include "physics/BroadPhase.h"
#include "physics/ControllerPhysics.h"
#include "physics/NodePhysical.h"
#include "scenegraph/BoundingVolume.h"
#include "scenegraph/ControllerNode.h"

using NSNode::BoundingVolume;
using NSNode::NodeTransform;
using NSPhysical::BroadPhase;

namespace {



// Overlaps shallower than this are left alone: bodies at rest touch.
constexpr float kOverlapSlop = 0.05f;
// The share of a deeper overlap that one separation removes.
constexpr float kSeparationShare = 0.8f;

// The node's only solid, placed where the node stands, when it is a sphere
// or a room; null for anything else.
const BoundingVolume::Volume* placedSolid(NodeTransform* node) {
    BoundingVolume* volume = node->getBoundingVolume();
    if (!volume || volume->getVolumes().size() != 1)
        return nullptr;
    BoundingVolume::Volume* solid = volume->getVolumes()[0];
    if (!dynamic_cast<BoundingVolume::Sphere*>(solid) && !dynamic_cast<BoundingVolume::Room*>(solid))
        return nullptr;
    solid->setTransform(node->worldMatrix());
    return solid;
}

// How far a sphere at c of radius r must move to get back inside room.
Vector3 intoRoom(const Vector3& c, float r, const BoundingVolume::Room& room) {
    const Vector3& o = room.getWorldCenter();
    const Vector3& h = room.getWorldHalfSize();
    Vector3 shift;
    float* s[3] = {&shift.x, &shift.y, &shift.z};
    const float cs[3] = {c.x - o.x, c.y - o.y, c.z - o.z};
    const float hs[3] = {h.x, h.y, h.z};
    for (int k = 0; k < 3; ++k) {
        if (hs[k] <= r)
            continue; // too narrow to hold the sphere: no way in
        const float over = cs[k] + r - hs[k];
        const float under = -hs[k] - (cs[k] - r);
        if (over > kOverlapSlop)
            *s[k] = -(over - kOverlapSlop);
        else if (under > kOverlapSlop)
            *s[k] = under - kOverlapSlop;
    }
    return shift;
}

// Moves the centre c of a sphere of radius r and mass m out of another
// sphere it overlaps deeper than the slop; an awake moveable partner is
// pushed its share of the way back, by their masses.
void separate(Vector3& c, float r, float m, const BoundingVolume::Sphere& sphere, NSNode::NodePhysical* partner) {
    const Vector3 d = c - sphere.getWorldCenter();
    const float distance = length(d);
    const float depth = r + sphere.getWorldRadius() - distance;
    if (!(depth > kOverlapSlop))
        return;
    // Two spheres on one centre part upwards, this one first.
    const Vector3 n = distance > 0.0f ? d * (1.0f / distance) : Vector3(0.0f, 1.0f, 0.0f);
    const float push = (depth - kOverlapSlop) * kSeparationShare;
    if (partner && partner->isMoveable() && !partner->isAsleep()) {
        const float mB = partner->effectiveMass();
        const Vector3 partnerShift = n * (-push * m / (m + mB));
        if (isFinite(partnerShift))
            partner->translate(partnerShift);
        c += n * (push * mB / (m + mB));
    } else {
        c += n * push;
    }
}

} // namespace

namespace NSNode {

void NodePhysical::settleContacts() {
    if (!isRegistered() || asleep)
        return;
    // Only a body whose move met something can overlap (moving into a
    // resting body is a meeting too), and only a fast one wakes sleepers.
    NSPhysical::ControllerPhysics& physics = NSPhysical::ControllerPhysics::of(world());
    const bool waking = length(velocity) > kWakeSpeed && physics.sleeperCount() > 0;
    const auto* self = moveable && touchedThisStep ? dynamic_cast<const BoundingVolume::Sphere*>(placedSolid(this)) : nullptr;
    if (!self && !waking)
        return;
    Vector3 c = self ? self->getWorldCenter() : Vector3();
    const float r = self ? self->getWorldRadius() : 0.0f;
    if (self && (!isFinite(c) || !std::isfinite(r)))
        self = nullptr;
    const float m = effectiveMass();
    NSPhysical::CollisionWork& w = physics.collisionWork();
    std::vector<std::uint32_t>& list = w.separationList;
    const std::vector<NodeTransform*>& registered = world().nodes();
    BroadPhase& phase = w.phase;
    BroadPhase::Reach reach = BroadPhase::reachOf(this, Vector3());
    reach.radius += kWakeMargin;
    if (w.broadPhaseEnabled) {
        phase.update();
        phase.candidates(reach, list);
    }
    const size_t count = w.broadPhaseEnabled ? list.size() : registered.size();
    const Vector3 start = c;
    const BoundingVolume::Room* room = nullptr;
    for (size_t k = 0; k < count; ++k) {
        NodeTransform* other = w.broadPhaseEnabled ? phase.node(list[k]) : registered[k];
        if (other == this || (!w.broadPhaseEnabled && !BroadPhase::reaches(reach, BroadPhase::reachOf(other, Vector3()))))
            continue;
        auto* partner = dynamic_cast<NodePhysical*>(other);
        if (waking && partner && partner->isAsleep())
            partner->wake();
        if (!self)
            continue;
        const BoundingVolume::Volume* solid = placedSolid(other);
        if (!solid)
            continue;
        if (const auto* wall = dynamic_cast<const BoundingVolume::Room*>(solid)) {
            room = wall;
            continue;
        }
        separate(c, r, m, *static_cast<const BoundingVolume::Sphere*>(solid), partner);
    }
    if (!self)
        return;
    // Walls last: whatever the other bodies pushed, the room holds.
    if (room)
        c += intoRoom(c, r, *room);
    const Vector3 shift = c - start;
    if (isFinite(shift) && !(shift == Vector3()))
        translate(shift);
}

} // namespace NSNode
