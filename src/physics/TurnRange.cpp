#include "physics/TurnRange.h"

#include <algorithm>

#include "physics/NodePhysical.h"

namespace NSConstraint {

namespace {

constexpr float kHalfTurn = 0.5f;
constexpr NSSerialize::FieldLimits kTurnLimits{-kHalfTurn, kHalfTurn};

float& component(Vector3& v, int axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }
float component(const Vector3& v, int axis) { return axis == 0 ? v.x : (axis == 1 ? v.y : v.z); }

const TurnRange* turnRangeOf(const NSNode::NodePhysical& body) {
    for (Constraint* c : body.getConstraints())
        if (auto* range = dynamic_cast<const TurnRange*>(c))
            return range;
    return nullptr;
}

} // namespace

TurnRange::TurnRange(bool) : from(-kHalfTurn, -kHalfTurn, -kHalfTurn), to(kHalfTurn, kHalfTurn, kHalfTurn) {}

int TurnRange::classId() const { return kTurnRangeClassId; }

void TurnRange::serialize(NSSerialize::SerialStream& stream) {
    if (!stream.isCurrentVersion())
        return;
    stream.transfer(from, "turn range start", kTurnLimits);
    stream.transfer(to, "turn range end", kTurnLimits);
}

void TurnRange::copyFrom(const NSClone::Cloneable* source) {
    Constraint::copyFrom(source);
    if (auto* other = dynamic_cast<const TurnRange*>(source)) {
        from = other->from;
        to = other->to;
    }
}

void playerTurnRange(const NSNode::NodePhysical& body, int axis, float& from, float& to) {
    from = -kHalfTurn;
    to = kHalfTurn;
    const TurnRange* range = turnRangeOf(body);
    // A range read from a file may name its ends in either order or as one
    // point; such a range leaves the full turn.
    if (range && component(range->from, axis) < component(range->to, axis)) {
        from = component(range->from, axis);
        to = component(range->to, axis);
    }
}

void setPlayerTurnRange(NSNode::NodePhysical& body, int axis, float from, float to) {
    auto* range = const_cast<TurnRange*>(turnRangeOf(body));
    if (!range) {
        range = new TurnRange(true);
        range->setOwner(&body);
        body.addConstraint(range);
    }
    component(range->from, axis) = std::max(from, -kHalfTurn);
    component(range->to, axis) = std::min(to, kHalfTurn);
}

} // namespace NSConstraint

QBN_REGISTER_CLASS(NSConstraint::kTurnRangeClassId, NSConstraint::TurnRange)
