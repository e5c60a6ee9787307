#pragma once
// A kind-0 effect pushing with a fixed force (perMass: acceleration) times the effectivity, and the property
// through which a body feels it; NodePhysicalTest.cpp registers both with the class factory.
#include "persistence/SerialStream.h"
#include "physics/NodePhysical.h"
#include "physics/Physics.h"
#include "physics/PhysicsProperty.h"
#include "scenegraph/BoundingVolume.h"

namespace qbntest {

constexpr int kTestPushId = 9301;
constexpr int kTestReceptorId = 9401;

class TestPush : public NSPhysical::Physics {
public:
    explicit TestPush(bool full, Vector3 force = Vector3(10, 0, 0), bool perMass = false)
        : Physics(full), push(force), perMass(perMass) {}
    int kind() const override { return 0; }
    int classId() const override { return kTestPushId; }
    Vector3 computeForce(NSNode::NodePhysical* body, NSPhysical::PhysicsProperty* p) override {
        return push * p->getEffectivity() * (perMass ? body->effectiveMass() : 1.0f);
    }
    Vector3 getColour() const override { return Vector3(1, 1, 1); }
    void serialize(NSSerialize::SerialStream& s) override { Physics::serialize(s), s.transfer(push); }
    Cloneable* clone() const override { return NSClone::cloneOf(*this); }
    void copyFrom(const Cloneable* source) override {
        NodeTransform::copyFrom(source);
        if (auto* o = dynamic_cast<const TestPush*>(source))
            push = o->push, perMass = o->perMass;
    }
    Vector3 push;
    bool perMass;
};

class TestReceptor : public NSPhysical::PhysicsProperty {
public:
    explicit TestReceptor(bool full) : PhysicsProperty(full) {}
    int kind() const override { return 0; }
    int classId() const override { return kTestReceptorId; }
    Cloneable* clone() const override { return NSClone::cloneOf(*this); }
};

// A push (or with perMass an acceleration) that acts everywhere.
inline TestPush* globalPush(Vector3 force, bool perMass = false) {
    auto* push = new TestPush(true, force, perMass);
    push->setBoundingVolume(NSNode::BoundingVolume::makeUnboundedVolume());
    return push;
}

// 9.81 m/s^2 down (10 units a metre), everywhere.
inline TestPush* testGravity() { return globalPush(Vector3(0.0f, -98.1f, 0.0f), true); }

} // namespace qbntest
