#include "physics/NodePhysical.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "persistence/ClassIds.h"
#include "persistence/RecordIO.h"
#include "physics/Constraint.h"
#include "physics/ControllerPhysics.h"
#include "physics/Physics.h"
#include "physics/PhysicsProperty.h"
#include "scenegraph/ControllerNode.h"

namespace NSNode {

using NSPhysical::ControllerPhysics;
using NSPhysical::Physics;
using NSPhysical::PhysicsProperty;
using NSConstraint::Constraint;

QBN_REGISTER_CLASS(CLASS_NODE_PHYSICAL, NodePhysical)

namespace {

template <class T>
void removeAll(std::vector<T*>& list, T* item) {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

} // namespace

NodePhysical::NodePhysical(bool full) : NodeTransform(full) {
    if (full) {
        mass = 1.0f;
        elasticBounce = 1.0f;
    }
}

NodePhysical::~NodePhysical() {
    setAsleep(false);
    clearPhysics();
    clearProperties();
    clearConstraints();
}

int NodePhysical::classId() const { return CLASS_NODE_PHYSICAL; }

void NodePhysical::setPhysical(bool isMoveable, bool isRotateable, float newMass, float newElasticBounce,
                               float newBounceFriction, bool newEnableBounceFriction) {
    moveable = isMoveable;
    rotateable = isRotateable;
    mass = newMass;
    elasticBounce = newElasticBounce;
    bounceFriction = newBounceFriction;
    enableBounceFriction = newEnableBounceFriction;
}

float NodePhysical::effectiveMass() const {
    return (std::isfinite(mass) && mass >= kMinimumMass) ? mass : kMinimumMass;
}

void NodePhysical::draw() {
    NodeTransform::draw();
    for (Physics* effect : physics) {
        glPushMatrix();
        effect->draw();
        glPopMatrix();
    }
}

void NodePhysical::finishStep(float dt) {
    NodeTransform::finishStep(dt);
    keepAllowedVelocity(dt);
    settleContacts();
    watchForRest();
    if (wokeThisStep)
        wakeRestingOnThis();
    // The effects hang under this body without being its children: they end
    // their step here (an electricity store refills).
    for (Physics* effect : physics)
        effect->finishStep(dt);
    movedThisStep = false;
    contactsThisStep = 0;
    touchedThisStep = false;
}

void NodePhysical::effectApplied(Physics*, NodePhysical*) {}

Vector3 NodePhysical::modifyForce(const Vector3& force, int, float) { return force; }

Vector3 NodePhysical::sumForces(float dt, Vector3& drag) {
    // One list for every body: the step is single-threaded and not reentrant.
    ControllerPhysics& physics = ControllerPhysics::of(world());
    std::vector<NSPhysical::PhysicsEffect>& entries = physics.effectList();
    entries.clear();
    physics.collectEffects(this, entries);
    effectTouches = entries.size();
    Vector3 force;
    drag = Vector3();
    for (const auto& entry : entries) {
        Vector3 f = entry.effect->computeForce(this, entry.property);
        // What an electricity store hands out is energy, booked by the store
        // itself; it is not a push.
        if (entry.effect->kind() == NSPhysical::KIND_ELECTRICITY)
            continue;
        f = modifyForce(f, entry.effect->kind(), dt);
        force += f;
        if (entry.effect->kind() == NSPhysical::KIND_FRICTION)
            drag += f;
    }
    entries.clear();
    return force;
}

Vector3 NodePhysical::limitSpeed(const Vector3& v) {
    const float speed = length(v);
    // A hair below the top speed, so that rounding never lands above it.
    return speed > kTopSpeed ? v * (0.999999f * kTopSpeed / speed) : v;
}

void NodePhysical::pushBy(const Vector3& force, const Vector3& drag, float dt) {
    lastForce = force;
    const float inverseMass = 1.0f / effectiveMass();
    Vector3 total = force;
    // The drag takes the share x of the speed that its law gives while that
    // is at most a half; beyond, the speed keeps 1 / (4 x) of itself instead
    // of 1 - x (the same value and slope at a half), so a drag never stops
    // a body in one step, let alone turns it round.
    const float speed = length(velocity);
    const float share = speed > 0.0f ? length(drag) * inverseMass * dt / speed : 0.0f;
    if (share > 0.5f)
        total = force - drag + drag * ((1.0f - 0.25f / share) / share);
    Vector3 changed = velocity + (total * inverseMass) * dt;
    // A force law that breaks down (an infinite pull at distance zero, say)
    // must not leave the body with a velocity that is not a number.
    if (isFinite(changed))
        velocity = limitSpeed(changed);
}

void NodePhysical::applyForces(float dt) {
    Vector3 drag;
    const Vector3 force = sumForces(dt, drag);
    pushBy(force, drag, dt);
}

NSPhysical::MotionRecord NodePhysical::makeMotionRecord(float dt) {
    NSPhysical::MotionRecord record;
    record.moveable = moveable && !asleep;
    record.velocity = velocity;
    record.mass = effectiveMass();
    record.body = this;
    record.dt = dt;
    return record;
}

void NodePhysical::simulate(float dt) {
    // A body made in the scene counts its rest from where its first step
    // begins, as one read from a file does from where it was read.
    if (!anchored)
        wake();
    stepStart = getPosition();
    Vector3 drag;
    const Vector3 force = sumForces(dt, drag);
    if (asleep) {
        const float change = length(force - sleepForce);
        // Every kRecheckSteps a sleeper makes sure it is still held.
        const bool held = sleptWedged || ++quietSteps % kRecheckSteps != 0 || isHeld();
        if (held && change <= 1e-4f * length(sleepForce)) {
            ControllerNode& registry = world();
            for (const auto& pair : restingTouches)
                registry.addHitIds(pair.first, pair.second);
            if (length(angularVelocity) != 0.0f)
                rotate(angularVelocity * dt);
            NodeTransform::simulate(dt);
            return;
        }
        wake();
    }
    pushBy(force, drag, dt);
    double speed = std::sqrt(static_cast<double>(velocity.x) * velocity.x +
                             static_cast<double>(velocity.y) * velocity.y +
                             static_cast<double>(velocity.z) * velocity.z);
    if (speed >= 0.1 && !movedThisStep) {
        NSPhysical::MotionRecord record = makeMotionRecord(dt);
        moveWithCollisions(record);
    }
    if (length(angularVelocity) != 0.0f)
        rotate(angularVelocity * dt);
    NodeTransform::simulate(dt);
}

void NodePhysical::addProperty(PhysicsProperty* property) {
    if (property)
        properties.push_back(property);
}

void NodePhysical::removeProperty(PhysicsProperty* property) { removeAll(properties, property); }

void NodePhysical::changedWorld(NSNode::ControllerNode& from) {
    NodeTransform::changedWorld(from);
    ControllerPhysics& left = ControllerPhysics::of(from);
    ControllerPhysics& joined = ControllerPhysics::of(world());
    for (Physics* effect : physics) {
        left.unregisterPhysics(effect);
        joined.registerPhysics(effect);
    }
    if (asleep) {
        left.countSleeper(-1);
        joined.countSleeper(1);
    }
}

void NodePhysical::addPhysics(Physics* effect) {
    if (!effect)
        return;
    effect->setOwner(this);
    physics.push_back(effect);
    ControllerPhysics::of(world()).registerPhysics(effect);
}

void NodePhysical::removePhysics(Physics* effect) {
    if (std::find(physics.begin(), physics.end(), effect) == physics.end())
        return;
    removeAll(physics, effect);
    effect->setOwner(nullptr);
    ControllerPhysics::of(world()).unregisterPhysics(effect);
}

void NodePhysical::addConstraint(Constraint* constraint) {
    if (constraint)
        constraints.push_back(constraint);
}

void NodePhysical::removeConstraint(Constraint* constraint) { removeAll(constraints, constraint); }

void NodePhysical::clearPhysics() {
    while (!physics.empty()) {
        Physics* effect = physics.front();
        physics.erase(physics.begin());
        ControllerPhysics::of(world()).unregisterPhysics(effect);
        effect->setOwner(nullptr);
        delete effect;
    }
}

void NodePhysical::clearProperties() {
    for (PhysicsProperty* property : properties)
        delete property;
    properties.clear();
}

void NodePhysical::clearConstraints() {
    for (Constraint* constraint : constraints)
        delete constraint;
    constraints.clear();
}

void NodePhysical::serialize(NSSerialize::SerialStream& stream) {
    NodeTransform::serialize(stream);
    if (!stream.isCurrentVersion())
        return;
    stream.transfer(moveable);
    stream.transfer(rotateable);
    stream.transfer(mass);
    stream.transfer(elasticBounce);
    stream.transfer(bounceFriction);
    stream.transfer(enableBounceFriction);
    stream.transfer(velocity);
    stream.transfer(angularVelocity);
    wake();
    if (stream.isWriting()) {
        NSSerialize::writeList(stream, "[phyL]", "[phyO]", physics);
        NSSerialize::writeList(stream, "[prtL]", "[prtO]", properties);
        NSSerialize::writeList(stream, "[cnsL]", "[cnsO]", constraints);
        return;
    }
    clearPhysics();
    clearProperties();
    clearConstraints();
    NSSerialize::readList<Physics>(stream, [this](Physics* e) { addPhysics(e); });
    NSSerialize::readList<PhysicsProperty>(stream, [this](PhysicsProperty* p) { addProperty(p); });
    NSSerialize::readList<Constraint>(stream, [this](Constraint* c) {
        c->setOwner(this);
        addConstraint(c);
    });
}

NSClone::Cloneable* NodePhysical::clone() const { return NSClone::cloneOf(*this); }

void NodePhysical::copyFrom(const NSClone::Cloneable* source) {
    auto* other = dynamic_cast<const NodePhysical*>(source);
    if (!other)
        return;
    NodeTransform::copyFrom(source);
    mass = other->mass;
    elasticBounce = other->elasticBounce;
    bounceFriction = other->bounceFriction;
    moveable = other->moveable;
    rotateable = other->rotateable;
    enableBounceFriction = other->enableBounceFriction;
    velocity = other->velocity;
    angularVelocity = other->angularVelocity;
    movedThisStep = other->movedThisStep;
    wake();
    contactsThisStep = other->contactsThisStep;
    clearPhysics();
    clearProperties();
    clearConstraints();
    for (Physics* effect : other->physics)
        if (auto* copy = dynamic_cast<Physics*>(effect->clone()))
            addPhysics(copy);
    for (PhysicsProperty* property : other->properties)
        if (auto* copy = dynamic_cast<PhysicsProperty*>(property->clone()))
            addProperty(copy);
    for (Constraint* constraint : other->constraints)
        if (auto* copy = dynamic_cast<Constraint*>(constraint->clone())) {
            copy->setOwner(this);
            addConstraint(copy);
        }
}

} // namespace NSNode
