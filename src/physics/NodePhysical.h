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
    // No body moves faster (units a second, 200 metres a second at the
    // game's scale): forces, contacts and setVelocity stop there.
    static constexpr float kTopSpeed = 2000.0f;
    // A move that would skip over something is swept: in equal pieces no
    // longer than the thinnest body in its reach along the move (the mover
    // included), each tested where it ends; at most this many.
    static constexpr int kMaxMovePieces = 128;
    // Rest (Rest.cpp): a moveable body that stays slower than kSleepSpeed
    // (units a second) and within kSleepDrift units of one place for
    // kStepsToSleep steps falls asleep if it is held there: the contacts it
    // has with bodies that do not move (immovable ones that stand still,
    // and settled ones) can take up the sum of the forces on it, leaving
    // less than kHeldAcceleration (units a second squared; a ball on a board
    // tilted 0.5 degrees keeps 0.85 and rolls on). A body that stays quiet
    // for kStepsToSleepJammed steps sleeps even if the contacts found do not
    // hold it (it is wedged by more than they explain). Asleep it has no
    // velocity, is not moved, and counts as immovable for the bodies that
    // touch it. It wakes when it is no longer held (looked at every
    // kRecheckSteps, unless it fell asleep wedged), when a body closes on it faster than kWakeSpeed, when
    // a body faster than that passes within kWakeMargin of it, when the
    // forces on it change, when it is given a velocity, and when a body it
    // rests on wakes. While asleep it still reports the touches it had when
    // it fell asleep, so that a goal met by a resting body stays met.
    static constexpr float kSleepSpeed = 5.0f;
    static constexpr float kSleepDrift = 0.25f;
    static constexpr int kStepsToSleep = 60;
    static constexpr int kStepsToSleepJammed = 240;
    static constexpr float kHeldAcceleration = 0.25f;
    static constexpr int kRecheckSteps = 12;
    static constexpr float kWakeSpeed = 8.0f;
    static constexpr float kWakeMargin = 0.5f;
    // How far the rest and the wedge rules look for contacts beyond where
    // the body stands (units).
    static constexpr float kContactReach = 0.1f;

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
    // A velocity other than 0 wakes a sleeping body; none is faster than
    // kTopSpeed.
    void setVelocity(const Vector3& v) {
        velocity = limitSpeed(v);
        if (asleep && !(v == Vector3()))
            wake();
    }
    // v, shortened to kTopSpeed if it is longer.
    static Vector3 limitSpeed(const Vector3& v);
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
    // contacts on the way; false when a contact it could not answer stopped
    // the move.
    bool moveWithCollisions(NSPhysical::MotionRecord& record);
    // At the end of a step: a moving body wakes the sleeping bodies it
    // passes, and a sphere is moved out of the spheres and rooms it overlaps
    // (and an awake moveable partner sphere its share the other way);
    // velocities stay as they are.
    void settleContacts();
    bool isAsleep() const { return asleep; }
    // Asleep, or quiet for half the steps it takes to fall asleep: a body
    // others may rest on.
    bool isSettled() const { return asleep || quietSteps >= kStepsToSleep / 2; }
    void wake();

    // One contact found by a probe: the partner and the unit direction in
    // which it pushes this body.
    struct Contact {
        NodeTransform* partner;
        Vector3 normal;
    };

protected:
    // Its effects and its sleep count follow the body into the new world.
    void changedWorld(NSNode::ControllerNode& from) override;

private:
    // The sum of the forces acting now (recording the effects' touches);
    // drag gets the share of it that friction effects give.
    Vector3 sumForces(float dt, Vector3& drag);
    void pushBy(const Vector3& force, const Vector3& drag, float dt);
    // Counts the quiet steps and puts the body to sleep after enough.
    void watchForRest();
    // Whether the contacts with bodies that stay put take up the forces.
    bool isHeld();
    // A body that hardly moved in its step keeps only the velocity its
    // contacts allow.
    void keepAllowedVelocity(float dt);
    // Adds the contacts the body meets when displaced by dir * kContactReach
    // (those pushing against dir), skipping partners already in out.
    void probeContacts(const Vector3& dir, std::vector<Contact>& out);
    // Wakes the sleepers that rest on this body.
    void wakeRestingOnThis();
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
    // Woken in this step: the sleepers resting on it wake at its end.
    bool wokeThisStep = false;
    // Where the step began.
    Vector3 stepStart;
    // Rest: the force of the last step, the effects that touched the body
    // in it, the quiet steps so far and where they began; asleep, the force
    // it fell asleep under and the touches it keeps reporting.
    Vector3 lastForce;
    size_t effectTouches = 0;
    int quietSteps = 0;
    Vector3 quietAnchor;
    bool anchored = false;
    bool asleep = false;
    bool sleptWedged = false;
    Vector3 sleepForce;
    std::vector<std::pair<int, int>> restingTouches;
};

} // namespace NSNode
