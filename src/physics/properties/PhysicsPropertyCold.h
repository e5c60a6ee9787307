#pragma once
// Makes a body respond to cold effects.
#include <string>

#include "physics/PhysicsProperty.h"

namespace NSPhysicsProperty {

class PhysicsPropertyCold : public NSPhysical::PhysicsProperty {
public:
    // full gives effectivity 1.0; otherwise a reader fills it.
    explicit PhysicsPropertyCold(bool full);
    explicit PhysicsPropertyCold(float effectivity);

    int classId() const override;
    int kind() const override;
    // "Cold Effectivity"
    std::string effectivityLabel() const override;
    std::string getMenuPicture() override;
    NSClone::Cloneable* clone() const override;
};

} // namespace NSPhysicsProperty
