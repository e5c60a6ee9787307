#pragma once
// Knows every effect that is attached to a body, by kind, and finds the
// effects acting on a body.
#include <string>
#include <utility>
#include <vector>

#include "physics/CollisionWork.h"
#include "physics/Physics.h"
#include "physics/PhysicsProperty.h"

namespace NSNode {
class NodePhysical;
}

namespace NSPhysical {

class ContactListener;

// An effect found acting on a body, with the body's property of its kind.
struct PhysicsEffect {
    Physics* effect = nullptr;
    PhysicsProperty* property = nullptr;
};

class ControllerPhysics {
public:
    using TypeTable = std::vector<std::pair<std::string, int>>;

    static ControllerPhysics& instance();

    void registerPhysics(Physics* effect);
    void unregisterPhysics(Physics* effect);
    const std::vector<Physics*>& effectsOfKind(int kind) const;

    // For each property of body, every enabled effect of the same kind whose
    // influence volume touches body (which also records the touching pair).
    void collectEffects(NSNode::NodePhysical* body, std::vector<PhysicsEffect>& out);

    const TypeTable& getPhysicsTypes() const { return physicsTypes; }
    const TypeTable& getPropertyTypes() const { return propertyTypes; }
    // New effect or property by its name in the tables; null for an unknown name.
    Physics* createPhysics(const std::string& name) const;
    PhysicsProperty* createProperty(const std::string& name) const;
    // The one listener told of every answered contact (null: none).
    void setContactListener(ContactListener* listener) { contactListener = listener; }
    ContactListener* getContactListener() const { return contactListener; }
    // The name an effect or property class goes by in the tables ("" if none).
    std::string physicsName(int classId) const;
    std::string propertyName(int classId) const;
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
    void resetCollisionWork() { collisions = CollisionWork(); }

private:
    ControllerPhysics();

    std::vector<Physics*> effectsByKind[PHYSICS_KIND_COUNT];
    TypeTable physicsTypes;
    TypeTable propertyTypes;
    ContactListener* contactListener = nullptr;
    long sleepers = 0;
    CollisionWork collisions;
    std::vector<PhysicsEffect> effects;
};

} // namespace NSPhysical
