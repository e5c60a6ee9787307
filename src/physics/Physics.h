#pragma once
// A physics effect: an invisible node that pushes the bodies inside its
// influence volume (its bounding volume) that carry a property of its kind.
// It hangs under the body that owns it.
#include <string>
#include <vector>

#include "menu/MenuConfigureable.h"
#include "scenegraph/NodeTransform.h"

namespace NSNode {
class NodePhysical;
}

namespace NSPhysical {

class PhysicsProperty;

// The nine kinds, shared by effects and properties.
enum PhysicsKind {
    KIND_GRAVITY = 0,
    KIND_FRICTION = 1,
    KIND_WIND = 2,
    KIND_ELECTRICITY = 3,
    KIND_CONSTANT_MOVEMENT = 4,
    KIND_MAGNETIC = 5,
    KIND_LIGHT = 6,
    KIND_HEAT = 7,
    KIND_COLD = 8,
    PHYSICS_KIND_COUNT = 9,
};

class Physics : public NSNode::NodeTransform, public NSMenu::MenuConfigureable {
public:
    explicit Physics(bool full);
    Physics(float dx, float dy, float dz);

    // Hangs the effect under node (null on detach).
    virtual void setOwner(NSNode::NodeTransform* node);
    virtual int kind() const = 0;
    virtual Vector3 computeForce(NSNode::NodePhysical* body, PhysicsProperty* property) = 0;
    virtual void appendOwnMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed);
    virtual Vector3 getColour() const = 0;

    void setEnabled(bool e) { enabled = e; }
    bool isEnabled() const { return enabled; }
    NSNode::NodePhysical* getOwner() const { return owner; }
    const Vector3& getForceDirection() const { return forceDirection; }
    void setForceDirection(const Vector3& d) { forceDirection = d; }

    int classId() const override;

    bool setMenuValue(std::string label, NSMenu::Value value) override;
    NSMenu::Value getMenuValue(std::string label) override;
    void getMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) override;
    unsigned getMenuFlags() override;
    std::string getMenuPicture() override;

protected:
    Vector3 forceDirection;
    bool enabled = true;
    NSNode::NodePhysical* owner = nullptr;
    int volumeType = -1;
    Vector3 volumeSize{30.0f, 30.0f, 30.0f};
};

} // namespace NSPhysical
