#pragma once
// A contact the collision response answered during a step, as the layers
// above read it after the step (the sound). Nodes are named by id: a node
// may be gone by the time the event is read (a particle that died in the
// same step).
#include "math/Vector3.h"

namespace NSPhysical {

struct ContactEvent {
    // How fast the two met along the contact normal (units per second,
    // never negative).
    float impactSpeed = 0.0f;
    // The moving body and its partner (a body or any other hit-testable
    // node).
    int body = -1;
    int partner = -1;
    // Where the body was when the contact was answered.
    Vector3 at;
};

} // namespace NSPhysical
