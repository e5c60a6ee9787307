// Movement with collision handling and the contact response.
//
// A move tests the body at its new place against the registered nodes in
// registration order (in pieces, when it could skip over something thin;
// see docs/physics.md). A node the body already touches and moves along or
// away from is passed over. The first contact that is answered ends the
// walk: the body is first brought up to the contact (as near as a few
// halvings of the piece find), then both bodies get new velocities and are
// moved again, recursively, the faster one first; the body only for the
// part of the step it has not used yet, so a bounce gives back no more
// height than the fall took. The recursion is finite: a body finishes its
// move at most once per step; every call that recurses has first raised the
// contact counter of its own body (the fallback raises it again), and a body
// with two contacts in the step drops out at once; so each body starts at
// most two recursing calls per step, each of which makes at most four calls.
//
// After the moves, NodePhysical::settleContacts (Separation.cpp) separates
// overlapping spheres and wakes sleeping bodies near fast ones, and the rest
// rules (Rest.cpp) let held bodies sleep.
#include "physics/Collisions.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "persistence/ClassIds.h"
#include "physics/BroadPhase.h"
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

// Whether the contact normal n lies within 45 degrees of the unit support
// normal s, either way.
bool alongSupport(const Vector3& n, const Vector3& s) {
    const float along = dot(n, s);
    return along * along >= 0.5f * dot(n, n);
}

// The speed of v along n: length(v) * (normalize(v) . n).
float speedAlong(const Vector3& v, const Vector3& n) {
    Vector3 direction = v;
    direction.normalize();
    return length(v) * dot(direction, n);
}

// The broad phase and the candidate lists belong to the world's physics.
NSPhysical::CollisionWork& work(NSNode::ControllerNode& world) {
    return NSPhysical::ControllerPhysics::of(world).collisionWork();
}
NSPhysical::CollisionWork& work(const NodeTransform& node) { return work(node.world()); }

struct WalkDepthGuard {
    explicit WalkDepthGuard(NSPhysical::CollisionWork& w) : work(w) { ++work.walkDepth; }
    ~WalkDepthGuard() { --work.walkDepth; }
    NSPhysical::CollisionWork& work;
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

} // namespace

namespace NSPhysical {

void setCollisionBroadPhase(NSNode::ControllerNode& world, bool enabled) {
    work(world).broadPhaseEnabled = enabled;
    work(world).phase.markStale();
}

const BroadPhase& collisionBroadPhase(NSNode::ControllerNode& world) { return work(world).phase; }

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

    // A body resting on something immovable passes a push on like a wall,
    // but only a push along what it rests on: pushed across it (a ball in
    // a row on a board), it moves.
    if (a.supported && dot(nA, nB) >= 0.0f && alongSupport(n, a.supportNormal))
        nB = -nB * e;
    else if (b.supported && dot(nA, nB) >= 0.0f && alongSupport(n, b.supportNormal))
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
    a.newVelocity = NodePhysical::limitSpeed(a.newVelocity);
    b.newVelocity = NodePhysical::limitSpeed(b.newVelocity);
}

} // namespace NSPhysical

namespace {

// Answers the contact h of r's body with m, found with the body displaced by
// offset (a share `reach` of the move's delta), on behalf of self: brings the
// body up to the contact, gives both bodies their new velocities and moves
// them on with them.
void answerContact(NodePhysical& self, MotionRecord& r, NodeTransform* m, const NSNode::HitResult& h,
                   const Vector3& offset, float reach) {
    NodePhysical* body = r.body;
    const Vector3 n = h.normalB;
    MotionRecord rB;
    if (auto* partner = dynamic_cast<NodePhysical*>(m)) {
        // A sleeping partner wakes for a real blow; a light touch
        // meets it as something that does not move.
        if (partner->isAsleep() && -speedAlong(r.velocity, n) > NodePhysical::kWakeSpeed * length(n))
            partner->wake();
        rB = partner->makeMotionRecord(r.dt);
    } else
        rB.moveable = false;
    // The body goes as far as it can toward the contact and keeps
    // the rest of the step for moving on; the partner stays put.
    const float f = freeFraction(*body, m, offset);
    if (f > 0.0f) {
        body->translate(offset * f);
        r.dt *= 1.0f - f * reach;
    }
    const MotionRecord r0 = r;
    const MotionRecord rB0 = rB;
    NSPhysical::respondToContact(n, r, rB);
    NSPhysical::ControllerPhysics::of(body->world())
        .noteContact({std::fabs(speedAlong(r0.velocity - rB0.velocity, n)) / length(n), body->getId(), m->getId(),
                      body->worldPosition()});
    r.applyResult();
    rB.applyResult();
    r.lastPartner = rB.body;
    const Vector3 unitNormal = n * (1.0f / length(n));
    if (!r.moveable) {
        rB.supported = true;
        rB.supportNormal = -unitNormal;
    }
    if (!rB.moveable) {
        r.supported = true;
        r.supportNormal = unitNormal;
    }
    body->setVelocity(r.velocity);
    raiseContacts(body);
    if (rB.body)
        rB.body->setVelocity(rB.velocity);

    const bool ok = moveBoth(self, r, rB, true);
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
        moveBoth(self, r, rB, false);
    }
}

// Whether a move of the body by offset against m, which it already touches
// where it stands, goes along or away from the contact normal n: such a
// move neither blocks nor asks for an answer (bodies that touch can slide
// along each other and part).
bool leavesContact(NodePhysical& body, NodeTransform* m, const Vector3& offset, const Vector3& n) {
    return dot(offset, n) >= 0.0f && isUsableNormal(n) && body.overlaps(m, Vector3());
}

// How far a line along the unit direction dir through the centre of node's
// thinnest sphere or box runs inside it; infinite without such solids.
float chordAlong(NodeTransform* node, const Vector3& dir) {
    BoundingVolume* volume = node->getBoundingVolume();
    float chord = std::numeric_limits<float>::infinity();
    if (!volume || volume->isEverywhere())
        return chord;
    volume->setTransform(node->worldMatrix());
    for (const BoundingVolume::Volume* solid : volume->getVolumes()) {
        if (solid->classId() == CLASS_VOLUME_SPHERE) {
            chord = std::min(chord, 2.0f * static_cast<const BoundingVolume::Sphere*>(solid)->getWorldRadius());
        } else if (solid->classId() == CLASS_VOLUME_BOX) {
            Vector3 e[3];
            static_cast<const BoundingVolume::Box*>(solid)->worldHalfAxes(e);
            // The ray from the centre leaves through the face it meets first.
            for (const Vector3& axis : e) {
                const float along = std::fabs(dot(dir, axis));
                if (along > 0.0f)
                    chord = std::min(chord, 2.0f * dot(axis, axis) / along);
            }
        }
    }
    return chord;
}

// The pieces a move of delta is tested in: one, unless the body or a node in
// its reach (the candidates) is thinner along the move than the move is
// long; then as many as keep each piece within the thinnest of them.
int sweepPieces(NodePhysical& body, const Vector3& delta, float bodyThickness,
                const std::vector<NodeTransform*>& candidates, const std::vector<float>& thickness) {
    const float reach = length(delta);
    float least = bodyThickness;
    for (float t : thickness)
        least = std::min(least, t);
    if (!(reach > least))
        return 1;
    const Vector3 dir = delta * (1.0f / reach);
    float thinnest = chordAlong(&body, dir);
    for (size_t k = 0; k < candidates.size(); ++k)
        if (candidates[k] != &body && reach > thickness[k])
            thinnest = std::min(thinnest, chordAlong(candidates[k], dir));
    thinnest = std::max(thinnest, reach / static_cast<float>(NodePhysical::kMaxMovePieces));
    return reach > thinnest ? static_cast<int>(std::ceil(reach / thinnest)) : 1;
}

// The nodes a body may meet anywhere along a move of delta, with their
// thickness: the broad phase's candidates for a sphere around the whole
// move, in registration order (it only leaves out nodes the hit test would
// reject), or every registered node within that reach. Returns that reach.
BroadPhase::Reach collectCandidates(NodePhysical* body, const Vector3& delta, std::vector<NodeTransform*>& nodes,
                                    std::vector<float>& thickness) {
    NSPhysical::CollisionWork& w = work(*body);
    BroadPhase::Reach sweep = BroadPhase::reachOf(body, delta * 0.5f);
    sweep.radius += 0.5f * length(delta);
    nodes.clear();
    thickness.clear();
    if (w.broadPhaseEnabled) {
        BroadPhase& phase = w.phase;
        phase.update();
        phase.candidates(sweep, w.indexList);
        for (std::uint32_t i : w.indexList) {
            nodes.push_back(phase.node(i));
            thickness.push_back(phase.thickness(i));
        }
    } else {
        for (NodeTransform* m : body->world().nodes()) {
            const BroadPhase::Reach other = BroadPhase::reachOf(m, Vector3());
            if (BroadPhase::reaches(sweep, other)) {
                nodes.push_back(m);
                thickness.push_back(other.thickness);
            }
        }
    }
    return sweep;
}

} // namespace

namespace NSNode {

bool NodePhysical::moveWithCollisions(MotionRecord& r) {
    NodePhysical* body = r.body;
    if (!body || body->wasMovedThisStep() || body->getContactsThisStep() >= kMaxContactsPerStep)
        return true;
    if (r.velocity == Vector3(0.0f, 0.0f, 0.0f))
        return true;

    const Vector3 delta = r.velocity * r.dt;
    bool touched = false;
    bool answered = false;
    if (isRegistered()) {
        // The nodes the body may meet anywhere along its move. Nothing
        // moves between here and the end of the walk: the first contact
        // answered ends it.
        NSPhysical::CollisionWork& w = work(*body);
        WalkDepthGuard walking(w);
        if (w.candidateLists.size() < w.walkDepth) {
            w.candidateLists.resize(w.walkDepth);
            w.candidateThickness.resize(w.walkDepth);
        }
        std::vector<NodeTransform*>& nodes = w.candidateLists[w.walkDepth - 1];
        std::vector<float>& thickness = w.candidateThickness[w.walkDepth - 1];
        const BroadPhase::Reach sweep = collectCandidates(body, delta, nodes, thickness);
        // A move that could skip over something is tested in pieces, each
        // where it ends; a move in one piece is tested where it ends.
        const int pieces = sweepPieces(*body, delta, sweep.thickness, nodes, thickness);
        for (int piece = 1; piece <= pieces && !touched; ++piece) {
            const float reach = static_cast<float>(piece) / static_cast<float>(pieces);
            const Vector3 offset = piece == pieces ? delta : delta * reach;
            for (size_t k = 0; k < nodes.size(); ++k) {
                NodeTransform* m = nodes[k];
                if (m == body)
                    continue;
                const HitResult h = body->hitTest(m, offset);
                if (!h.hit || leavesContact(*body, m, offset, h.normalB))
                    continue;
                touched = true;
                body->touchedThisStep = true;
                if (auto* met = dynamic_cast<NodePhysical*>(m))
                    met->touchedThisStep = true;
                if (!isUsableNormal(h.normalB) || m == r.lastPartner)
                    continue;
                // Answer this contact; it ends the walk.
                answerContact(*this, r, m, h, offset, reach);
                answered = true;
                break;
            }
            // A contact left unanswered stops the body at the end of the
            // last piece that met nothing.
            if (touched && !answered && piece > 1 && !body->wasMovedThisStep())
                body->translate(delta * (static_cast<float>(piece - 1) / static_cast<float>(pieces)));
        }
    }
    // An answered contact moved both bodies on (its own recursion); only
    // one left unanswered stops the move.
    if (touched)
        return answered;

    if (!body->wasMovedThisStep())
        body->translate(delta);
    body->setMovedThisStep(true);
    return true;
}

} // namespace NSNode
