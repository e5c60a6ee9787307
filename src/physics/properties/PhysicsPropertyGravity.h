#pragma once
// Makes a body fall under gravity effects: at effectivity 1 with the full
// acceleration, at 0.5 with half, at 0 not at all.
#include <string>

#include "physics/PhysicsProperty.h"

namespace NSPhysicsProperty {

class PhysicsPropertyGravity : public NSPhysical::PhysicsProperty {
public:
    // full gives effectivity 1.0; otherwise a reader fills it.
    explicit PhysicsPropertyGravity(bool full);
    explicit PhysicsPropertyGravity(float effectivity);

    int classId() const override;
    int kind() const override;
    // "Gravity Effectivity"
    std::string effectivityLabel() const override;
    std::string getMenuPicture() override;
    NSClone::Cloneable* clone() const override;
};

} // namespace NSPhysicsProperty
