// Rest: when a body falls asleep and wakes, and the velocity a body that
// cannot move keeps (see docs/physics.md, "Piles: separation and rest").
//
// Sleep is for bodies that are held. A quiet body (slow, staying in one
// place) sleeps only when the contacts it has with bodies that stay put
// (immovable ones that do not move, and sleepers) can take up the sum of the
// forces on it: the contacts are found by moving the body a little along
// that sum, and the part of the pull they cannot take (a contact pushes
// along its normal only, never sideways, so a ball on any slope keeps the
// slope's share of gravity) is worked out by a few rounds over them. A pile
// falls asleep from the bottom up: a ball lies on its neighbours only once
// they sleep.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "physics/BroadPhase.h"
#include "physics/ControllerPhysics.h"
#include "physics/NodePhysical.h"
#include "scenegraph/ControllerNode.h"

namespace NSNode {

namespace {

using NSPhysical::BroadPhase;

// A quiet body that is not held tries again after this many steps.
constexpr int kHeldRetrySteps = 6;
// Rounds of the probe that look for more contacts where the pull still goes.
constexpr int kProbeRounds = 3;
// Rounds over the contacts that share out the pull.
constexpr int kShareRounds = 24;

// Whether partner stays where it is: a settled body, or an immovable node
// that does not move.
bool staysPut(NodeTransform* partner) {
    auto* body = dynamic_cast<NodePhysical*>(partner);
    if (!body)
        return true;
    if (body->isMoveable())
        return body->isSettled();
    return body->getVelocity() == Vector3() && body->getAngularVelocity() == Vector3();
}

// What is left of the acceleration a when every contact pushes along its
// normal as hard as helps, never pulling.
Vector3 unheldPart(const Vector3& a, const std::vector<NodePhysical::Contact>& contacts) {
    std::vector<float> push(contacts.size(), 0.0f);
    Vector3 left = a;
    for (int round = 0; round < kShareRounds; ++round)
        for (size_t i = 0; i < contacts.size(); ++i) {
            const float more = std::max(0.0f, push[i] - dot(left, contacts[i].normal));
            left += contacts[i].normal * (more - push[i]);
            push[i] = more;
        }
    return left;
}

// The unit vector along v, or (0, 0, 0).
Vector3 unit(Vector3 v) { return v.normalize(); }

} // namespace

void NodePhysical::setAsleep(bool value) {
    if (value != asleep)
        NSPhysical::ControllerPhysics::of(world()).countSleeper(value ? 1 : -1);
    asleep = value;
}

void NodePhysical::wake() {
    if (asleep)
        wokeThisStep = true;
    setAsleep(false);
    quietSteps = 0;
    quietAnchor = getPosition();
    anchored = true;
    restingTouches.clear();
}

void NodePhysical::probeContacts(const Vector3& dir, std::vector<Contact>& out) {
    if (!isRegistered() || dir == Vector3())
        return;
    const Vector3 offset = dir * kContactReach;
    NSPhysical::CollisionWork& w = NSPhysical::ControllerPhysics::of(world()).collisionWork();
    const BroadPhase::Reach reach = BroadPhase::reachOf(this, offset);
    const std::vector<NodeTransform*>& registered = world().nodes();
    if (w.broadPhaseEnabled) {
        w.phase.update();
        w.phase.candidates(reach, w.probeList);
    }
    const size_t count = w.broadPhaseEnabled ? w.probeList.size() : registered.size();
    for (size_t k = 0; k < count; ++k) {
        NodeTransform* m = w.broadPhaseEnabled ? w.phase.node(w.probeList[k]) : registered[k];
        if (m == this || std::any_of(out.begin(), out.end(), [m](const Contact& c) { return c.partner == m; }))
            continue;
        const HitResult h = probe(m, offset);
        const Vector3 n = unit(h.normalB);
        // Only a contact in the way pushes back.
        if (h.hit && isFinite(n) && dot(n, dir) < 0.0f)
            out.push_back({m, n});
    }
}

bool NodePhysical::isHeld() {
    const Vector3 a = lastForce * (1.0f / effectiveMass());
    std::vector<Contact> contacts;
    Vector3 left = a;
    for (int round = 0; round < kProbeRounds && !(length(left) < kHeldAcceleration); ++round) {
        const size_t known = contacts.size();
        probeContacts(unit(left), contacts);
        contacts.erase(std::remove_if(contacts.begin() + static_cast<long>(known), contacts.end(),
                                      [](const Contact& c) { return !staysPut(c.partner); }),
                       contacts.end());
        if (contacts.size() == known)
            return false;
        left = unheldPart(a, contacts);
    }
    return length(left) < kHeldAcceleration;
}

void NodePhysical::watchForRest() {
    if (!moveable || asleep)
        return;
    const Vector3 p = getPosition();
    if (!(length(velocity) < kSleepSpeed && length(p - quietAnchor) < kSleepDrift)) {
        quietSteps = 0;
        quietAnchor = p;
        return;
    }
    if (++quietSteps < kStepsToSleep)
        return;
    const bool wedged = quietSteps >= kStepsToSleepJammed;
    if (!wedged && (quietSteps - kStepsToSleep) % kHeldRetrySteps != 0)
        return;
    // Only a body that touches another one now, and is held there, rests.
    const int id = getId();
    restingTouches.clear();
    for (const auto& pair : world().hits())
        if (pair.first == id || pair.second == id)
            restingTouches.push_back(pair);
    if (restingTouches.size() <= effectTouches || (!wedged && !isHeld())) {
        restingTouches.clear();
        return;
    }
    setAsleep(true);
    sleptWedged = wedged;
    velocity = Vector3();
    sleepForce = lastForce;
}

void NodePhysical::keepAllowedVelocity(float dt) {
    const float speed = length(velocity);
    if (!moveable || asleep || !(speed > 1.0f) || length(getPosition() - stepStart) >= 0.5f * speed * dt)
        return;
    // The body hardly moved: the velocity that took it nowhere loses what
    // points into its contacts. (Not relative to the partners': in a jam
    // they carry the same stored velocity.)
    std::vector<Contact> contacts;
    Vector3 v = velocity;
    for (int round = 0; round < kProbeRounds && !(v == Vector3()); ++round) {
        probeContacts(unit(v), contacts);
        bool blocked = false;
        for (const Contact& c : contacts) {
            const float into = dot(v, c.normal);
            if (into < 0.0f) {
                v -= c.normal * into;
                blocked = true;
            }
        }
        if (!blocked)
            break;
    }
    velocity = v;
}

void NodePhysical::wakeRestingOnThis() {
    wokeThisStep = false;
    NSPhysical::ControllerPhysics& physics = NSPhysical::ControllerPhysics::of(world());
    if (!isRegistered() || physics.sleeperCount() == 0)
        return;
    NSPhysical::CollisionWork& w = physics.collisionWork();
    BroadPhase::Reach reach = BroadPhase::reachOf(this, Vector3());
    reach.radius += kContactReach;
    const std::vector<NodeTransform*>& registered = world().nodes();
    if (w.broadPhaseEnabled) {
        w.phase.update();
        w.phase.candidates(reach, w.probeList);
    }
    const size_t count = w.broadPhaseEnabled ? w.probeList.size() : registered.size();
    const Vector3 here = worldPosition();
    for (size_t k = 0; k < count; ++k) {
        auto* sleeper = dynamic_cast<NodePhysical*>(w.broadPhaseEnabled ? w.phase.node(w.probeList[k]) : registered[k]);
        // A sleeper rests on this body when this body lies where its forces pull it.
        if (sleeper && sleeper != this && sleeper->isAsleep() &&
            BroadPhase::reaches(reach, BroadPhase::reachOf(sleeper, Vector3())) &&
            dot(here - sleeper->worldPosition(), sleeper->sleepForce) > 0.0f)
            sleeper->wake();
    }
}

} // namespace NSNode
