#pragma once
// Lets constant movement effects (conveyor belts) carry a body along.
#include <string>

#include "physics/PhysicsProperty.h"

namespace NSPhysicsProperty {

class PhysicsPropertyConstantMovement : public NSPhysical::PhysicsProperty {
public:
    // full gives effectivity 1.0; otherwise a reader fills it.
    explicit PhysicsPropertyConstantMovement(bool full);
    explicit PhysicsPropertyConstantMovement(float effectivity);

    int classId() const override;
    int kind() const override;
    // "Move. Effectivity"
    std::string effectivityLabel() const override;
    std::string getMenuPicture() override;
    NSClone::Cloneable* clone() const override;
};

} // namespace NSPhysicsProperty
