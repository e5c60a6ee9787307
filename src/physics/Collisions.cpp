#include "physics/NodePhysical.h"

namespace NSNode {

// For now a body moves freely along its velocity; contacts come later.
bool NodePhysical::moveWithCollisions(NSPhysical::MotionRecord& r) {
    NodePhysical* body = r.body;
    if (!body || body->wasMovedThisStep() || body->getContactsThisStep() >= 2)
        return true;
    if (r.velocity == Vector3(0.0f, 0.0f, 0.0f))
        return true;
    body->translate(r.velocity * r.dt);
    body->setMovedThisStep(true);
    return true;
}

} // namespace NSNode
