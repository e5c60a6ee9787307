#pragma once
// Makes a body drift in wind effects.
#include <string>

#include "physics/PhysicsProperty.h"

namespace NSPhysicsProperty {

class PhysicsPropertyWind : public NSPhysical::PhysicsProperty {
public:
    // full gives effectivity 1.0; otherwise a reader fills it.
    explicit PhysicsPropertyWind(bool full);
    explicit PhysicsPropertyWind(float effectivity);

    int classId() const override;
    int kind() const override;
    // "Wind Effectivity"
    std::string effectivityLabel() const override;
    std::string getMenuPicture() override;
    NSClone::Cloneable* clone() const override;
};

} // namespace NSPhysicsProperty
