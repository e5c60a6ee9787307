#pragma once
// Makes a body slow down inside friction effects.
#include <string>

#include "physics/PhysicsProperty.h"

namespace NSPhysicsProperty {

class PhysicsPropertyFriction : public NSPhysical::PhysicsProperty {
public:
    // full gives effectivity 1.0; otherwise a reader fills it.
    explicit PhysicsPropertyFriction(bool full);
    explicit PhysicsPropertyFriction(float effectivity);

    int classId() const override;
    int kind() const override;
    // "Friction Effectivity"
    std::string effectivityLabel() const override;
    std::string getMenuPicture() override;
    NSClone::Cloneable* clone() const override;
};

} // namespace NSPhysicsProperty
