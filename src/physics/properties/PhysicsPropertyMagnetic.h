#pragma once
// Makes a body respond to magnetic effects.
#include <string>

#include "physics/PhysicsProperty.h"

namespace NSPhysicsProperty {

class PhysicsPropertyMagnetic : public NSPhysical::PhysicsProperty {
public:
    // full gives effectivity 1.0; otherwise a reader fills it.
    explicit PhysicsPropertyMagnetic(bool full);
    explicit PhysicsPropertyMagnetic(float effectivity);

    int classId() const override;
    int kind() const override;
    // "Magnetic Effectivity"
    std::string effectivityLabel() const override;
    std::string getMenuPicture() override;
    NSClone::Cloneable* clone() const override;
};

} // namespace NSPhysicsProperty
