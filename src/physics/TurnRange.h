#pragma once
// The player's turn range: how far a level lets the player turn an object
// about each axis, as fractions of a turn (-0.5..0.5). A level mode rotation
// slider spans this range instead of the full turn, so its 88 pixels are
// finer; typed turns outside it are refused. The editor keeps the full
// turn. Kept in the body's constraint list, so level files keep it; a file
// without one reads as the full turn.
#include "math/Vector3.h"
#include "physics/Constraint.h"

namespace NSConstraint {

// Its class id in files; constraints take 600-699 beside the ranges ClassIds.h
// lists, and like those it is never renumbered.
constexpr int kTurnRangeClassId = 600;

class TurnRange : public Constraint {
public:
    explicit TurnRange(bool full = true);
    int classId() const override;
    void serialize(NSSerialize::SerialStream& stream) override;
    NSClone::Cloneable* clone() const override { return new TurnRange(*this); }
    void copyFrom(const NSClone::Cloneable* source) override;

    // Per axis (x, y, z): the range's ends, fractions of a turn.
    Vector3 from;
    Vector3 to;
};

// The range the player may turn body about axis (0..2) in: its turn range's,
// or the full turn (-0.5..0.5) when it has none.
void playerTurnRange(const NSNode::NodePhysical& body, int axis, float& from, float& to);
// Narrows (or widens) the player's range about axis to from..to (fractions
// of a turn, kept within -0.5..0.5); the other axes keep theirs.
void setPlayerTurnRange(NSNode::NodePhysical& body, int axis, float from, float to);

} // namespace NSConstraint
