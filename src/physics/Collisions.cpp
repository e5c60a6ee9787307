// Movement with collision handling and the contact response.
//
// A move tests the body at its new place against the registered nodes in
// registration order. The first contact that is answered ends the walk: the
// body is first brought up to the contact (as near as a few halvings of the
// move find), then both bodies get new velocities and are moved again,
// recursively, the faster one first; the body only for the part of the step
// it has not used yet, so a bounce gives back no more height than the fall
// took. The recursion is finite: a body finishes its move at most once per
// step; every call that recurses has first raised the contact counter of its
// own body (the fallback raises it again), and a body with two contacts in
// the step drops out at once; so each body starts at most two recursing calls
// per step, each of which makes at most four calls.
//
// After the moves, NodePhysical::settleContacts (at the end of this file)
// separates overlapping spheres and wakes sleeping bodies near fast ones.
#include "physics/Collisions.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include "physics/BroadPhase.h"
#include "physics/ContactListener.h"
#include "physics/ControllerPhysics.h"
#include "physics/NodePhysical.h"
#include "scenegraph/BoundingVolume.h"
#include "scenegraph/ControllerNode.h"

using NSNode::BoundingVolume;
using NSNode::NodePhysical;
using NSNode::NodeTransform;
using NSPhysical::BroadPhase;
using NSPhysical::MotionRecord;

namespace {

// Speed a body keeps when the fallback pushes it out of a contact.
constexpr float kFallbackSpeed = 0.8f;
// Below this speed (units per second) a contact is a resting one, and the
// fallback pushes along the contact normal.
constexpr float kRestingSpeed = 10.0f;
// Responses a body takes per step before it drops out of the step.
constexpr int kMaxContactsPerStep = 2;
// Halvings of the move that look for where a contact begins.
constexpr int kContactHalvings = 10;

// A normal that gives a direction to answer along.
bool isUsableNormal(const Vector3& n) { return isFinite(n) && length(n) != 0.0f; }

float usableMass(float m) {
    return std::isfinite(m) && m >= NodePhysical::kMinimumMass ? m : NodePhysical::kMinimumMass;
}

float clampTo(float v, float lo, float hi) { return v > hi ? hi : (v < lo ? lo : v); }

// The speed of v along n: length(v) * (normalize(v) . n).
float speedAlong(const Vector3& v, const Vector3& n) {
    Vector3 direction = v;
    direction.normalize();
    return length(v) * dot(direction, n);
}

// The broad phase and the candidate lists belong to the physics controller.
NSPhysical::CollisionWork& work() { return NSPhysical::ControllerPhysics::instance().collisionWork(); }
BroadPhase& broadPhase() { return work().phase; }

struct WalkDepthGuard {
    WalkDepthGuard() { ++work().walkDepth; }
    ~WalkDepthGuard() { --work().walkDepth; }
    WalkDepthGuard(const WalkDepthGuard&) = delete;
    WalkDepthGuard& operator=(const WalkDepthGuard&) = delete;
};

void raiseContacts(NodePhysical* body) {
    if (body)
        body->setContactsThisStep(body->getContactsThisStep() + 1);
}

// Moves both records, the faster one first (r on equal speeds). With
// stopOnFailure the second move is only made when the first one succeeded.
// True when both moves were made and succeeded.
bool moveBoth(NodePhysical& self, MotionRecord& r, MotionRecord& rB, bool stopOnFailure) {
    const bool partnerFirst = length(rB.velocity) > length(r.velocity);
    MotionRecord& first = partnerFirst ? rB : r;
    MotionRecord& second = partnerFirst ? r : rB;
    const bool firstOk = self.moveWithCollisions(first);
    if (!firstOk && stopOnFailure)
        return false;
    const bool secondOk = self.moveWithCollisions(second);
    return firstOk && secondOk;
}

// The largest part of delta, as far as kContactHalvings halvings find it,
// that body can move without touching m; 0 when it touches m where it
// stands. The probes record no touching pair: the contact itself has.
float freeFraction(NodePhysical& body, NodeTransform* m, const Vector3& delta) {
    if (body.overlaps(m, Vector3()))
        return 0.0f;
    float free = 0.0f;
    float blocked = 1.0f;
    for (int i = 0; i < kContactHalvings; ++i) {
        const float mid = 0.5f * (free + blocked);
        if (body.overlaps(m, delta * mid))
            blocked = mid;
        else
            free = mid;
    }
    return free;
}

// Where the fallback sends the moving body: along normalA (its own
// direction away from the partner) as the response design has it, but
// along the contact normal n for a resting contact.
Vector3 fallbackDirection(Vector3 normalA, Vector3 n, const MotionRecord& r, const MotionRecord& rB) {
    Vector3 direction = length(r.velocity - rB.velocity) < kRestingSpeed ? n : normalA;
    direction.normalize();
    return direction;
}

// The fallback for one side: straight out along dir with part of its speed.
void pushOut(MotionRecord& rec, const Vector3& dir) {
    if (!rec.moveable)
        return;
    const Vector3 v = dir * length(rec.velocity) * kFallbackSpeed;
    rec.newVelocity = isFinite(v) ? v : rec.velocity;
    if (rec.body) {
        rec.body->setVelocity(rec.newVelocity);
        raiseContacts(rec.body);
    }
}

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

// Whether node's sphere lies within reach, as the broad phase would judge.
bool withinReach(const BroadPhase::Reach& reach, NodeTransform* node) {
    const BroadPhase::Reach other = BroadPhase::reachOf(node, Vector3());
    if (reach.kind == BroadPhase::Reach::NONE || other.kind == BroadPhase::Reach::NONE)
        return false;
    if (reach.kind == BroadPhase::Reach::UNBOUNDED || other.kind == BroadPhase::Reach::UNBOUNDED)
        return true;
    const Vector3 d = reach.center - other.center;
    const float sum = reach.radius + other.radius;
    return !(dot(d, d) >= sum * sum);
}

} // namespace

namespace NSPhysical {

void setCollisionBroadPhase(bool enabled) {
    work().broadPhaseEnabled = enabled;
    broadPhase().markStale();
}

const BroadPhase& collisionBroadPhase() { return broadPhase(); }

void respondToContact(Vector3 n, MotionRecord& a, MotionRecord& b) {
    if (!isUsableNormal(n)) {
        a.newVelocity = a.velocity;
        b.newVelocity = b.velocity;
        return;
    }

    // The materials: E is the product of both bounces, F the mean of both
    // frictions (each body's own values when it meets no body).
    float e = 1.0f;
    float f = 0.0f;
    bool frictionOn = false;
    bool movingA = false;
    bool movingB = false;
    if (a.body) {
        e = a.body->getElasticBounce();
        f = a.body->getBounceFriction();
        frictionOn = a.body->isBounceFrictionEnabled();
        movingA = length(a.body->getVelocity()) != 0.0f;
    }
    if (b.body) {
        f = (f + b.body->getBounceFriction()) * 0.5f;
        e = e * b.body->getElasticBounce();
        frictionOn = frictionOn || b.body->isBounceFrictionEnabled();
        movingB = length(b.body->getVelocity()) != 0.0f;
    }
    e = std::isnan(e) ? 1.0f : clampTo(e, 0.0f, 1.0f);
    f = std::isnan(f) ? 0.0f : clampTo(f, -1.0f, 1.0f);

    // Speeds along n and what is left across it.
    const float sA = speedAlong(a.velocity, n);
    const float sB = speedAlong(b.velocity, n);
    const Vector3 tA = a.velocity - n * sA;
    const Vector3 tB = b.velocity - n * sB;
    const float mA = usableMass(a.mass);
    const float mB = usableMass(b.mass);

    // The normal parts after the contact: an elastic share E and an
    // inelastic share 1 - E. An immovable partner reflects like a wall.
    Vector3 nA;
    Vector3 nB;
    if (e != 0.0f) {
        nA = b.moveable ? n * e * (((mA - mB) * sA + 2.0f * mB * sB) / (mA + mB)) : n * e * (2.0f * sB - sA);
        nB = a.moveable ? n * e * (((mB - mA) * sB + 2.0f * mA * sA) / (mA + mB)) : n * e * (2.0f * sA - sB);
    }
    if (1.0f - e != 0.0f) {
        nA += b.moveable ? n * (1.0f - e) * ((mA * sA + mB * sB) / (mA + mB)) : n * (1.0f - e) * sB;
        nB += a.moveable ? n * (1.0f - e) * ((mB * sB + mA * sA) / (mA + mB)) : n * (1.0f - e) * sA;
    }

    // A body resting on something immovable passes a push on like a wall.
    if (a.supported && dot(nA, nB) >= 0.0f)
        nB = -nB * e;
    else if (b.supported && dot(nA, nB) >= 0.0f)
        nA = -nA * e;

    // Friction scales the whole new velocity.
    if (!frictionOn)
        f = 0.0f;
    a.newVelocity = (a.moveable || (b.supported && movingA)) ? (nA + tA) * (1.0f - f) : a.velocity;
    b.newVelocity = (b.moveable || (a.supported && movingB)) ? (nB + tB) * (1.0f - f) : b.velocity;

    if (!isFinite(a.newVelocity))
        a.newVelocity = a.velocity;
    if (!isFinite(b.newVelocity))
        b.newVelocity = b.velocity;
}

} // namespace NSPhysical

namespace NSNode {

bool NodePhysical::moveWithCollisions(MotionRecord& r) {
    NodePhysical* body = r.body;
    if (!body || body->wasMovedThisStep() || body->getContactsThisStep() >= kMaxContactsPerStep)
        return true;
    if (r.velocity == Vector3(0.0f, 0.0f, 0.0f))
        return true;

    const Vector3 delta = r.velocity * r.dt;
    bool touched = false;
    if (isRegistered()) {
        WalkDepthGuard walking;
        // The broad phase hands over the registered nodes the body may hit,
        // in registration order. It only leaves out nodes the hit test would
        // reject, so the walk meets the same contacts in the same order as a
        // walk over every registered node. Nothing moves between here and
        // the end of the walk: the first contact answered ends it.
        const std::vector<NodeTransform*>& registered = ControllerNode::instance().nodes();
        BroadPhase& phase = broadPhase();
        const std::vector<std::uint32_t>* candidates = nullptr;
        NSPhysical::CollisionWork& w = work();
        if (w.broadPhaseEnabled) {
            phase.update();
            if (w.candidateLists.size() < w.walkDepth)
                w.candidateLists.resize(w.walkDepth);
            std::vector<std::uint32_t>& list = w.candidateLists[w.walkDepth - 1];
            phase.candidates(phase.reachOf(body, delta), list);
            candidates = &list;
        }
        const size_t count = candidates ? candidates->size() : registered.size();
        for (size_t k = 0; k < count; ++k) {
            NodeTransform* m = candidates ? phase.node((*candidates)[k]) : registered[k];
            if (m == body)
                continue;
            const HitResult h = body->hitTest(m, delta);
            if (!h.hit)
                continue;
            touched = true;
            body->touchedThisStep = true;
            if (auto* met = dynamic_cast<NodePhysical*>(m))
                met->touchedThisStep = true;
            const Vector3 n = h.normalB;
            if (!isUsableNormal(n) || m == r.lastPartner)
                continue;

            // Answer this contact; it ends the walk.
            MotionRecord rB;
            if (auto* partner = dynamic_cast<NodePhysical*>(m)) {
                // A sleeping partner wakes for a real blow; a light touch
                // meets it as something that does not move.
                if (partner->isAsleep() && -speedAlong(r.velocity, n) > NodePhysical::kWakeSpeed * length(n))
                    partner->wake();
                rB = partner->makeMotionRecord(r.dt);
            }
            else
                rB.moveable = false;
            // The body goes as far as it can toward the contact and keeps
            // the rest of the step for moving on; the partner stays put.
            const float f = freeFraction(*body, m, delta);
            if (f > 0.0f) {
                body->translate(delta * f);
                r.dt *= 1.0f - f;
            }
            const MotionRecord r0 = r;
            const MotionRecord rB0 = rB;
            NSPhysical::respondToContact(n, r, rB);
            if (auto* listener = NSPhysical::ControllerPhysics::instance().getContactListener())
                listener->contactAnswered(std::fabs(speedAlong(r0.velocity - rB0.velocity, n)) / length(n), *body, *m);
            r.applyResult();
            rB.applyResult();
            r.lastPartner = rB.body;
            if (!r.moveable)
                rB.supported = true;
            if (!rB.moveable)
                r.supported = true;
            body->setVelocity(r.velocity);
            raiseContacts(body);
            if (rB.body)
                rB.body->setVelocity(rB.velocity);

            const bool ok = moveBoth(*this, r, rB, true);
            if (!ok && !(r.moveable && rB.moveable)) {
                // The new velocities did not get both through, and one side
                // cannot be pushed: start again from the velocities before
                // the response and send the moveable side straight out of
                // the contact (the body stays where it was brought to),
                // along its own direction away from the partner (normalA);
                // but a resting body along the contact normal: for a box
                // standing off the middle of a board normalA is a side face,
                // and pushes there walked stacks off their boards.
                r = r0;
                rB = rB0;
                const Vector3 contactDirection = fallbackDirection(h.normalA, n, r, rB);
                pushOut(r, contactDirection);
                pushOut(rB, -contactDirection);
                r.applyResult();
                rB.applyResult();
                moveBoth(*this, r, rB, false);
            }
            break;
        }
    }
    if (touched)
        return false;

    if (!body->wasMovedThisStep())
        body->translate(delta);
    body->setMovedThisStep(true);
    return true;
}

} // namespace NSNode

namespace NSNode {

void NodePhysical::settleContacts() {
    if (!isRegistered() || asleep)
        return;
    // Only a body whose move met something can overlap (moving into a
    // resting body is a meeting too), and only a fast one wakes sleepers.
    const bool waking = length(velocity) > kWakeSpeed && NSPhysical::ControllerPhysics::instance().sleeperCount() > 0;
    const auto* self = moveable && touchedThisStep ? dynamic_cast<const BoundingVolume::Sphere*>(placedSolid(this)) : nullptr;
    if (!self && !waking)
        return;
    Vector3 c = self ? self->getWorldCenter() : Vector3();
    const float r = self ? self->getWorldRadius() : 0.0f;
    if (self && (!isFinite(c) || !std::isfinite(r)))
        self = nullptr;
    const float m = effectiveMass();
    NSPhysical::CollisionWork& w = work();
    std::vector<std::uint32_t>& list = w.separationList;
    const std::vector<NodeTransform*>& registered = ControllerNode::instance().nodes();
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
        if (other == this || (!w.broadPhaseEnabled && !withinReach(reach, other)))
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
        const auto* sphere = static_cast<const BoundingVolume::Sphere*>(solid);
        const Vector3 d = c - sphere->getWorldCenter();
        const float distance = length(d);
        const float depth = r + sphere->getWorldRadius() - distance;
        if (!(depth > kOverlapSlop) || !(distance > 0.0f))
            continue;
        const Vector3 n = d * (1.0f / distance);
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
