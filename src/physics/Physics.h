#pragma once
// A physics effect: an invisible node that pushes the bodies inside its
// influence volume (its bounding volume) that carry a property of its kind.
// It hangs under the body that owns it.
//
// The base keeps what every effect shares: the force direction, the enable
// switch, the owner, and the volume the menu's "Create Volume" builds. The
// concrete effects (physics/effects/) bring the force laws.
#include <string>
#include <vector>

#include "editable/MenuConfigureable.h"
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

// The influence volume chosen in the menu.
enum VolumeType {
    VOLUME_NONE = -1,
    VOLUME_BOX = 0,
    VOLUME_SPHERE = 1,
    VOLUME_ROOM = 2,
    VOLUME_GLOBAL = 3,
};

class Physics : public NSNode::NodeTransform, public NSMenu::MenuConfigureable {
public:
    // The point laws (point gravity, point magnet, light) fall off with the
    // squared distance between the effect's owner and the body, but not
    // inside the two bodies: closer than the sum of their outer spheres'
    // radii (softRadius) a pull shrinks in proportion to the distance, to
    // nothing at the centre, and light stays as it is at that distance. So
    // no law gives more than it gives where the two bodies meet. A body
    // closer to the owner than kMinPointDistance (the owner itself, when it
    // carries a matching property) feels nothing: there is no direction to
    // pull it in.
    static constexpr float kMinPointDistance = 0.001f;

    // full: enabled, no direction, no volume chosen, sizes (30, 30, 30), and
    // the empty bounding volume of a fresh node (it acts on nothing yet).
    explicit Physics(bool full);
    Physics(float dx, float dy, float dz);

    // Hangs the effect under node (null on detach).
    virtual void setOwner(NSNode::NodeTransform* node);
    virtual int kind() const = 0;
    // (0, 0, 0) unless property is of this effect's own property class.
    virtual Vector3 computeForce(NSNode::NodePhysical* body, PhysicsProperty* property) = 0;
    virtual void appendOwnMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed);
    // The colour of the effect's marker.
    virtual Vector3 getColour() const = 0;

    // Only while showVolume is set: the marker (a sphere, or an arrow along
    // the force direction) at the centre of the first solid, then the
    // volume's wireframe.
    void draw() override;

    void setEnabled(bool e) { enabled = e; }
    bool isEnabled() const { return enabled; }
    NSNode::NodePhysical* getOwner() const { return owner; }
    const Vector3& getForceDirection() const { return forceDirection; }
    void setForceDirection(const Vector3& d) { forceDirection = d; }
    int getVolumeType() const { return volumeType; }
    void setVolumeType(int type) { volumeType = type; }
    const Vector3& getVolumeSize() const { return volumeSize; }
    void setVolumeSize(const Vector3& size) { volumeSize = size; }
    // Replaces the bounding volume by one of volumeType and volumeSize,
    // centred at the effect's origin; false (nothing changes) when no known
    // type is chosen.
    bool createVolume();

    int classId() const override;
    void serialize(NSSerialize::SerialStream& stream) override;
    // Every concrete effect makes its own kind of copy.
    NSClone::Cloneable* clone() const override = 0;
    // The node part and the fields above; the copy keeps its own owner.
    void copyFrom(const NSClone::Cloneable* source) override;

    // Own entries, a separator, and in custom mode (detailed) the switch, the
    // force direction, the volume section and the transform, as the flags
    // allow (8 switch, 16 direction, 32 volume, 1 position, 2 rotation,
    // 4 scaling).
    void getMenuEntries(std::vector<NSMenu::MenuEntry>& list, bool detailed) override;
    bool setMenuValue(std::string label, NSMenu::Value value) override;
    NSMenu::Value getMenuValue(std::string label) override;
    unsigned getMenuFlags() override;
    std::string getMenuPicture() override;

protected:
    // v turned by the effect's world rotation (no translation, no scale).
    Vector3 world(const Vector3& v) const;
    // The world position of the node the effect hangs under (its own when it
    // hangs under nothing).
    Vector3 ownerPosition() const;
    // The point-law factor toward the owner: normalize(r) * (1000 / d^2) with
    // r = owner - body, softened inside softRadius, or (0, 0, 0) closer than
    // kMinPointDistance.
    Vector3 pointPull(NSNode::NodePhysical* body) const;
    // The radius of the owner's outer sphere plus the body's.
    float softRadius(NSNode::NodePhysical* body) const;

    Vector3 forceDirection;
    bool enabled = true;
    NSNode::NodePhysical* owner = nullptr;
    int volumeType = VOLUME_NONE;
    Vector3 volumeSize{30.0f, 30.0f, 30.0f};
};

} // namespace NSPhysical
