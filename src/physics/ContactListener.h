#pragma once
// What the collision response tells the layers above it (the sound, say)
// about each contact it answers. The physics knows only this interface; a
// listener registers with ControllerPhysics.
namespace NSNode {
class NodePhysical;
class NodeTransform;
} // namespace NSNode

namespace NSPhysical {

class ContactListener {
public:
    virtual ~ContactListener() = default;
    // A contact of body with partner was answered. impactSpeed is how fast
    // the two met along the contact normal (units per second, never
    // negative). partner is a physical body or any other hit-testable node.
    // Called inside the simulation step: keep it short, change nothing.
    virtual void contactAnswered(float impactSpeed, NSNode::NodePhysical& body, NSNode::NodeTransform& partner) = 0;
};

} // namespace NSPhysical
