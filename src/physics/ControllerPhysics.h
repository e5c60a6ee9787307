#pragma once
// The physics' part of a world: every effect attached to one of its bodies,
// by kind (and finds the effects acting on a body), the contact search's
// broad phase and lists, the count of sleeping bodies and the listener told
// of contacts. Each world has its own, made when a body first asks.
#include <string>
#include <utility>
#include <vector>

#include "physics/CollisionWork.h"
#include "physics/ContactEvent.h"
#include "physics/Physics.h"
#include "physics/PhysicsProperty.h"
#include "scenegraph/ControllerNode.h"

namespace NSNode {
class NodePhysical;
}

namespace NSPhysical {

// An effect found acting on a body, with the body's property of its kind.
struct PhysicsEffect {
    Physics* effect = nullptr;
    PhysicsProperty* property = nullptr;
};

class ControllerPhysics : public NSNode::ControllerNode::Part {
public:
    // The part of the world's registry.
    static ControllerPhysics& of(NSNode::ControllerNode& world);
    NSNode::ControllerNode& world() const { return registry; }

    void registerPhysics(Physics* effect);
    void unregisterPhysics(Physics* effect);
    const std::vector<Physics*>& effectsOfKind(int kind) const;

    // For each property of body, every enabled effect of the same kind whose
    // influence volume touches body (which also records the touching pair).
    void collectEffects(NSNode::NodePhysical* body, std::vector<PhysicsEffect>& out);

    // The part of the world's registry if a body made it, else null.
    static const ControllerPhysics* find(const NSNode::ControllerNode& world);

    // The contacts answered since the events were last cleared, at most
    // kMaxContactEvents (later ones are dropped). The scene clears them as
    // each frame's steps begin; the sound reads them after the steps.
    static constexpr size_t kMaxContactEvents = 4096;
    void noteContact(const ContactEvent& event) {
        if (contactEvents.size() < kMaxContactEvents)
            contactEvents.push_back(event);
    }
    const std::vector<ContactEvent>& contacts() const { return contactEvents; }
    void clearContacts() { contactEvents.clear(); }
    // How many bodies sleep (NodePhysical keeps the count): while none do,
    // a moving body has nobody to wake.
    void countSleeper(int change) { sleepers += change; }
    long sleeperCount() const { return sleepers; }
    // The list the body being stepped collects its effects in.
    std::vector<PhysicsEffect>& effectList() { return effects; }
    // The contact search's broad phase and candidate lists.
    CollisionWork& collisionWork() { return collisions; }
    // Tests: the contact search starts afresh (broad phase on, rebuilt at
    // the next move; no move under way).
    void resetCollisionWork() { collisions = CollisionWork(registry); }

private:
    explicit ControllerPhysics(NSNode::ControllerNode& world) : registry(world), collisions(world) {}

    NSNode::ControllerNode& registry;
    std::vector<Physics*> effectsByKind[PHYSICS_KIND_COUNT];
    std::vector<ContactEvent> contactEvents;
    long sleepers = 0;
    CollisionWork collisions;
    std::vector<PhysicsEffect> effects;
};

} // namespace NSPhysical
