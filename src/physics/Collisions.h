#pragma once
// The answer to a contact between two bodies: new velocities along the
// contact normal from restitution and friction. The movement that finds the
// contacts is NodePhysical::moveWithCollisions (Collisions.cpp): a contact
// whose normal has length 0, or is not a number, blocks the move for the
// step without any response.
#include "physics/MotionRecord.h"
#include "math/Vector3.h"

namespace NSNode {
class ControllerNode;
}

namespace NSPhysical {

// Sets a.newVelocity and b.newVelocity for a contact of a (the moving record)
// with b (its partner). n points from b towards a and is used as it is, not
// normalised.
//
// Beyond the formula:
// - A normal of length 0 (or one that is not a number) gives no direction:
//   both records keep their velocities.
// - Masses below NodePhysical::kMinimumMass, or not numbers, count as that
//   minimum, so the sum the response divides by is never 0.
// - An elastic bounce that is not a number counts as 1, a bounce friction
//   that is not a number as 0 (their defaults).
// - A new velocity that still comes out infinite or not a number (a partner
//   whose own velocity is broken, say) is dropped: that record keeps its
//   velocity, so a broken body cannot spread into the bodies it touches.
void respondToContact(Vector3 n, MotionRecord& a, MotionRecord& b);

class BroadPhase;

// The broad phase only saves work: switched off, every registered node gets
// the full hit test, and the outcome is the same. On by default; the switch
// is there to compare the two.
void setCollisionBroadPhase(NSNode::ControllerNode& world, bool enabled);
const BroadPhase& collisionBroadPhase(NSNode::ControllerNode& world);

} // namespace NSPhysical
