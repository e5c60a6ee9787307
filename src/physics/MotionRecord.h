#pragma once
#include "math/Vector3.h"

namespace NSNode {
class NodePhysical;
}

namespace NSPhysical {

// One body as the collision code sees it for one move.
struct MotionRecord {
    bool moveable = true;
    // The last response was against a partner that cannot move, along the
    // unit direction supportNormal (from the partner towards this body).
    bool supported = false;
    Vector3 supportNormal;
    Vector3 velocity;
    float mass = 1.0f;
    Vector3 newVelocity;
    // Null for an obstacle that is no physical body.
    NSNode::NodePhysical* body = nullptr;
    // A contact with the partner of the last response is not answered again.
    NSNode::NodePhysical* lastPartner = nullptr;
    float dt = 0.0f;

    void applyResult() {
        velocity = newVelocity;
        supported = false;
    }
};

} // namespace NSPhysical
