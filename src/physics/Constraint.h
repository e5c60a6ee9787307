#pragma once
// A body keeps a list of constraints that is stored and copied. The one
// kind with a class id is the player's turn range (physics/TurnRange.h); an
// element of a class this game does not know is skipped as it is read.
#include "persistence/Cloneable.h"
#include "persistence/Serializeable.h"

namespace NSNode {
class NodePhysical;
}

namespace NSConstraint {

class Constraint : public NSSerialize::Serializeable, public NSClone::Cloneable {
public:
    int classId() const override { return 0; }
    NSClone::Cloneable* clone() const override { return new Constraint(*this); }
    void copyFrom(const NSClone::Cloneable* source) override {
        if (auto* c = dynamic_cast<const Constraint*>(source))
            owner = c->owner;
    }
    void setOwner(NSNode::NodePhysical* body) { owner = body; }
    NSNode::NodePhysical* getOwner() const { return owner; }

private:
    NSNode::NodePhysical* owner = nullptr;
};

} // namespace NSConstraint
