#pragma once
// A scene node that takes part in the simulation: velocities, mass, bounce
// values, the effects it emits, the properties through which it reacts to
// effects, and (stored only) constraints.
#include <vector>

#include "physics/MotionRecord.h"
#include "scenegraph/NodeTransform.h"

namespace NSPhysical {
class Physics;
class PhysicsProperty;
} // namespace NSPhysical

namespace NSConstraint {
class Constraint;
}

namespace NSNode {

class NodePhysical : public NodeTransform {
public:
    // The lightest a body counts in the physics: a mass below it (zero, say,
    // which the menu allows) or one that is not a number is taken as this.
    static constexpr float kMinimumMass = 0.001f;
    // The longest move a body makes in one piece: a faster body moves in
    // pieces of at most this length, each tested for contacts, so that it
    // cannot pass through the thinnest board (3 units) between two tests.
    static constexpr float kMaxMovePiece = 3.0f;
    // ... in at most this many pieces (23 000 units a second at 1/120 s).
    static constexpr int kMaxMovePieces = 64;

    explicit NodePhysical(bool full);
    ~NodePhysical() override;

    void draw() override;
    void finishStep(float dt) override;
    void simulate(float dt) override;
    // Hook: one of this body's effects was found acting on body.
    virtual void effectApplied(NSPhysical::Physics* effect, NodePhysical* body);
    // Hook: lets a body change an incoming force before it is summed.
    virtual Vector3 modifyForce(const Vector3& force, int kind, float dt);

    int classId() const override;
    void serialize(NSSerialize::SerialStream& stream) override;
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;

    void setPhysical(bool moveable, bool rotateable, float mass, float elasticBounce, float bounceFriction,
                     bool enableBounceFriction);
    const Vector3& getVelocity() const { return velocity; }
    void setVelocity(const Vector3& v) { velocity = v; }
    const Vector3& getAngularVelocity() const { return angularVelocity; }
    void setAngularVelocity(const Vector3& v) { angularVelocity = v; }
    float getMass() const { return mass; }
    void setMass(float m) { mass = m; }
    // The mass the physics works with (never below kMinimumMass).
    float effectiveMass() const;
    float getElasticBounce() const { return elasticBounce; }
    void setElasticBounce(float e) { elasticBounce = e; }
    float getBounceFriction() const { return bounceFriction; }
    void setBounceFriction(float f) { bounceFriction = f; }
    bool isMoveable() const { return moveable; }
    void setMoveable(bool m) { moveable = m; }
    bool isRotateable() const { return rotateable; }
    void setRotateable(bool r) { rotateable = r; }
    bool isBounceFrictionEnabled() const { return enableBounceFriction; }
    void setBounceFrictionEnabled(bool e) { enableBounceFriction = e; }
    bool wasMovedThisStep() const { return movedThisStep; }
    void setMovedThisStep(bool m) { movedThisStep = m; }
    int getContactsThisStep() const { return contactsThisStep; }
    void setContactsThisStep(int c) { contactsThisStep = c; }

    const std::vector<NSPhysical::PhysicsProperty*>& getProperties() const { return properties; }
    const std::vector<NSPhysical::Physics*>& getPhysics() const { return physics; }
    const std::vector<NSConstraint::Constraint*>& getConstraints() const { return constraints; }
    void addProperty(NSPhysical::PhysicsProperty* property);
    void removeProperty(NSPhysical::PhysicsProperty* property);
    void addPhysics(NSPhysical::Physics* effect);
    void removePhysics(NSPhysical::Physics* effect);
    void addConstraint(NSConstraint::Constraint* constraint);
    void removeConstraint(NSConstraint::Constraint* constraint);
    void clearPhysics();
    void clearProperties();
    void clearConstraints();

    // Sums the forces of the effects acting on this body and changes its velocity.
    void applyForces(float dt);
    NSPhysical::MotionRecord makeMotionRecord(float dt);
    // Moves the record's body by its velocity over the record's time, handling
    // contacts on the way; false when a contact stopped the move.
    bool moveWithCollisions(NSPhysical::MotionRecord& record);

private:
    std::vector<NSPhysical::PhysicsProperty*> properties;
    std::vector<NSPhysical::Physics*> physics;
    std::vector<NSConstraint::Constraint*> constraints;
    Vector3 velocity;
    Vector3 angularVelocity;
    float mass = 0.0f;
    float elasticBounce = 0.0f;
    float bounceFriction = 0.0f;
    bool moveable = false;
    bool rotateable = false;
    bool enableBounceFriction = false;
    bool movedThisStep = false;
    int contactsThisStep = 0;
};

} // namespace NSNode
