#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "persistence/RecordIO.h"
#include "physics/ControllerPhysics.h"
#include "physics/NodePhysical.h"
#include "physics/effects/PhysicsGravity.h"
#include "physics/properties/PhysicsPropertyElectricity.h"
#include "physics/properties/PhysicsPropertyOfKind.h"
#include "scenegraph/BoundingVolume.h"

using NSMenu::MenuEntry;
using NSMenu::Value;
using NSNode::BoundingVolume;
using NSNode::NodePhysical;
using NSPhysical::ControllerPhysics;
using NSPhysical::PhysicsProperty;
using NSPhysicsProperty::PhysicsPropertyElectricity;
using NSPhysicsProperty::PhysicsPropertyGravity;

namespace {

// A room with an ordinary downward gravity everywhere.
struct Room {
    Room() {
        auto* gravity = new NSPhysics::PhysicsGravity(0, -1, 0, 9.81f);
        gravity->setBoundingVolume(BoundingVolume::makeUnboundedVolume());
        node.addPhysics(gravity);
    }
    NodePhysical node{true};
};

std::unique_ptr<NodePhysical> ball(float mass, float radius) {
    auto b = std::make_unique<NodePhysical>(true);
    b->setMass(mass);
    b->setBoundingVolume(BoundingVolume::makeSphereVolume(Vector3(), radius));
    return b;
}

} // namespace

TEST(PropertyEffectivity, GravityEffectivityScalesTheFall) {
    Room room;
    const struct {
        std::vector<float> effectivities;
        float fall; // after one second
    } cases[] = {{{}, 0}, {{0.0f}, 0}, {{0.5f}, -49.05f}, {{1.0f}, -98.1f}, {{1.0f, 1.0f}, -196.2f}};
    for (const auto& c : cases) {
        auto body = ball(2.0f, 5.0f);
        for (float e : c.effectivities)
            body->addProperty(new PhysicsPropertyGravity(e));
        body->applyForces(1.0f);
        EXPECT_NEAR(c.fall, body->getVelocity().y, 1e-3f) << c.effectivities.size();
        EXPECT_EQ(0.0f, body->getVelocity().x);
    }
}

TEST(PropertyClasses, ElectricityCarriesItsTwoUses) {
    PhysicsPropertyElectricity p(true);
    EXPECT_EQ(1.0f, p.getMinUse());
    EXPECT_EQ(1.0f, p.getMaxUse());
    std::vector<MenuEntry> entries;
    p.getMenuEntries(entries, false);
    ASSERT_EQ(2u, entries.size());
    EXPECT_EQ("Maximum Use", entries[1].label);
    for (const MenuEntry& e : entries)
        EXPECT_EQ(unsigned(NSMenu::KIND_INPUT), e.kind);
    EXPECT_TRUE(p.setMenuValue("Minimum Use", Value::ofFloat(5)));
    EXPECT_TRUE(p.setMenuValue("Maximum Use", Value::ofFloat(40)));
    EXPECT_FALSE(p.setMenuValue("Maximum Use", Value::ofFloat(INFINITY)));
    EXPECT_EQ(40.0f, p.getMenuValue("Maximum Use").floatValue);

    std::unique_ptr<PhysicsPropertyElectricity> copy(static_cast<PhysicsPropertyElectricity*>(p.clone()));
    const std::string path = testing::TempDir() + "electricity.rec";
    {
        NSSerialize::SerialStream out(path, true);
        NSSerialize::writeElement(out, "[prtO]", p);
        ASSERT_TRUE(out.close());
    }
    NSSerialize::SerialStream in(path, false);
    std::unique_ptr<PhysicsProperty> read(NSSerialize::readElement<PhysicsProperty>(in));
    std::remove(path.c_str());
    for (auto* other : {copy.get(), dynamic_cast<PhysicsPropertyElectricity*>(read.get())}) {
        ASSERT_NE(nullptr, other);
        EXPECT_EQ(5.0f, other->getMinUse());
        EXPECT_EQ(40.0f, other->getMaxUse());
    }
}
