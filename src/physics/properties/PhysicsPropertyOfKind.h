#pragma once
// The properties that are nothing but a kind and an effectivity (every kind
// but electricity): one class, the kinds told apart by a table of class ids,
// menu labels and pictures. The game's code names each kind by its own type
// (PhysicsPropertyGravity, ...), which only picks the kind; a file or a copy
// makes the plain class.
#include <string>

#include "physics/Physics.h"
#include "physics/PhysicsProperty.h"

namespace NSPhysicsProperty {

class PhysicsPropertyOfKind : public NSPhysical::PhysicsProperty {
public:
    // full gives effectivity 1.0; otherwise a reader fills it. kind is one
    // of the table's; any other stands for gravity.
    PhysicsPropertyOfKind(int kind, bool full);
    PhysicsPropertyOfKind(int kind, float effectivity);

    int classId() const override;
    int kind() const override;
    // "Gravity Effectivity", "Move. Effectivity", ...
    std::string effectivityLabel() const override;
    std::string getMenuPicture() override;
    NSClone::Cloneable* clone() const override;
    // Copies the effectivity from a property of the same kind.
    void copyFrom(const NSClone::Cloneable* source) override;

    struct Row {
        int kind;
        int classId;
        const char* label;
        const char* picture;
    };

private:
    const Row* row;
};

template <int Kind>
class PhysicsPropertyNamed : public PhysicsPropertyOfKind {
public:
    explicit PhysicsPropertyNamed(bool full) : PhysicsPropertyOfKind(Kind, full) {}
    explicit PhysicsPropertyNamed(float effectivity) : PhysicsPropertyOfKind(Kind, effectivity) {}
};

// Makes a body fall under gravity effects: at effectivity 1 with the full
// acceleration, at 0.5 with half, at 0 not at all.
using PhysicsPropertyGravity = PhysicsPropertyNamed<NSPhysical::KIND_GRAVITY>;
using PhysicsPropertyFriction = PhysicsPropertyNamed<NSPhysical::KIND_FRICTION>;
using PhysicsPropertyWind = PhysicsPropertyNamed<NSPhysical::KIND_WIND>;
using PhysicsPropertyConstantMovement = PhysicsPropertyNamed<NSPhysical::KIND_CONSTANT_MOVEMENT>;
using PhysicsPropertyMagnetic = PhysicsPropertyNamed<NSPhysical::KIND_MAGNETIC>;
using PhysicsPropertyLight = PhysicsPropertyNamed<NSPhysical::KIND_LIGHT>;
using PhysicsPropertyHeat = PhysicsPropertyNamed<NSPhysical::KIND_HEAT>;
using PhysicsPropertyCold = PhysicsPropertyNamed<NSPhysical::KIND_COLD>;

} // namespace NSPhysicsProperty
