#pragma once
// Makes a body respond to heat effects.
#include <string>

#include "physics/PhysicsProperty.h"

namespace NSPhysicsProperty {

class PhysicsPropertyHeat : public NSPhysical::PhysicsProperty {
public:
    // full gives effectivity 1.0; otherwise a reader fills it.
    explicit PhysicsPropertyHeat(bool full);
    explicit PhysicsPropertyHeat(float effectivity);

    int classId() const override;
    int kind() const override;
    // "Heat Effectivity"
    std::string effectivityLabel() const override;
    std::string getMenuPicture() override;
    NSClone::Cloneable* clone() const override;
};

} // namespace NSPhysicsProperty
