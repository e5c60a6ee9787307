#pragma once
// A scene node that takes part in the simulation: velocities, mass, bounce
// values, the effects it emits, the properties through which it reacts to
// effects, and (stored only) constraints.
#include <utility>
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
    // Rest: a moveable body that stays slower than kSleepSpeed (units a
    // second) and within kSleepDrift units of one place for kStepsToSleep
    // steps, touching another body in the last of them, falls asleep: it
    // stops, is no longer moved, and counts as immovable for the bodies
    // that touch it. It wakes when a body closes on it faster than
    // kWakeSpeed, when a body faster than that passes within kWakeMargin of
    // it, when the forces on it change, or when it is given a velocity.
    // While asleep it still reports the touches it had when it fell asleep,
    // so that a goal met by a resting body stays met.
    static constexpr float kSleepSpeed = 3.0f;
    static constexpr float kSleepDrift = 0.5f;
    static constexpr int kStepsToSleep = 60;
    static constexpr float kWakeSpeed = 8.0f;
    static constexpr float kWakeMargin = 0.5f;

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
    // A velocity other than 0 wakes a sleeping body.
    void setVelocity(const Vector3& v) {
        velocity = v;
        if (asleep && !(v == Vector3()))
            wake();
    }
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
    void setMoveable(bool m) {
        moveable = m;
        wake();
    }
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
    // Moves this body, a sphere, out of the spheres and rooms it overlaps
    // (and a moveable partner sphere its share the other way); velocities
    // stay as they are.
    // At the end of a step: a moving body wakes the sleeping bodies it
    // passes, and a sphere is moved out of the spheres and rooms it overlaps
    // (and an awake moveable partner sphere its share the other way);
    // velocities stay as they are.
    void settleContacts();
    bool isAsleep() const { return asleep; }
    void wake();

private:
    // The sum of the forces acting now (recording the effects' touches).
    Vector3 sumForces(float dt);
    void pushBy(const Vector3& force, float dt);
    // Counts the quiet steps and puts the body to sleep after enough.
    void watchForRest();
    void setAsleep(bool value);

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
    // A hit test of its own move found something this step.
    bool touchedThisStep = false;
    // Rest: the force of the last step, the effects that touched the body
    // in it, the quiet steps so far and where they began; asleep, the force
    // it fell asleep under and the touches it keeps reporting.
    Vector3 lastForce;
    size_t effectTouches = 0;
    int quietSteps = 0;
    Vector3 quietAnchor;
    bool asleep = false;
    Vector3 sleepForce;
    std::vector<std::pair<int, int>> restingTouches;
};

} // namespace NSNode
