#pragma once
// The base scene node: a tree node with an id, a position, a rotation and a
// scale, an owned bounding volume, the drawing and simulation passes, and
// hit tests against the other registered nodes. Every scene object, light,
// physics effect and particle system derives from it.
//
// Rotation: the angles (radians about X, Y, Z) only sum up what was applied
// and are what menus show and files keep; the rotation matrix is the product
// of every rotate() so far, each one turning about Y, then X, then Z.
//
// Change stamps: every change of where a node or its volume stands (making
// it, translate, rotate, the scale, a volume handed to setBoundingVolume, a
// new parent, copyFrom) gives the node a new stamp from one counter shared
// by all nodes, and the latest stamps remember their node. Whoever keeps
// world places of nodes asks which nodes changed instead of comparing
// matrices. A volume edited in place counts as changed once it is handed to
// setBoundingVolume again.

#include <cstdint>

#include "persistence/Cloneable.h"
#include "persistence/Serializeable.h"
#include "scenegraph/BoundingVolume.h"
#include "scenegraph/HitResult.h"
#include "math/Matrix4.h"
#include "scenegraph/Node.h"
#include "math/Vector3.h"

namespace NSNode {

class NodeTransform;
class ControllerNode;

// Takes the nodes that draw in the scene's distance-sorted pass.
class DeferredDrawSink {
public:
    virtual ~DeferredDrawSink() = default;
    virtual void defer(NodeTransform* node) = 0;
};

// Draws the models of drawable nodes for the scene, which decides per frame
// how (culling, render flags), and hears of nodes that go away so that it
// can drop them from its selection and hover state.
class ModelDrawer {
public:
    virtual ~ModelDrawer() = default;
    virtual void drawModel(NodeTransform* node) = 0;
    virtual void forgetNode(NodeTransform* node) = 0;
};

class NodeTransform : public Node<NodeTransform>, public NSSerialize::Serializeable, public NSClone::Cloneable {
public:
    // full: defaults, a fresh id and an empty bounding volume. Without it the
    // node has id -1 and no volume until serialize or copyFrom fills it.
    explicit NodeTransform(bool full);
    ~NodeTransform() override;
    NodeTransform* self() override { return this; }
    // Also tells the registry, so later ids stay above this one.
    int setId(int id) override;
    // A new parent moves the node in the world, and into the parent's
    // world when that is another.
    NodeTransform* setParent(NodeTransform* p) override;
    // The registry of the world the node belongs to.
    ControllerNode& world() const { return *registry; }
    // Moves the node and its subtree into another world: registered nodes
    // stay registered, and a node whose id is taken there gets a fresh one.
    void moveToWorld(ControllerNode& to);

    virtual void translate(const Vector3& d);
    virtual void rotate(const Vector3& d);
    virtual void scaleAxes(const Vector3& s);
    // Adds d to the scale factor and scales the axes by d.
    virtual void scale(float d);
    // Destroys the current volume and takes ownership of v (may be null).
    virtual void setBoundingVolume(BoundingVolume* v);
    // The caller has pushed the matrix.
    virtual void draw();
    virtual void finishStep(float dt);
    virtual void simulate(float dt);
    // How far the node reaches below its world position (a value <= 0).
    virtual float lowestPointOffset();

    void setPosition(const Vector3& p);
    void setRotation(const Vector3& a);
    void setScale(float s);
    const Vector3& getPosition() const { return position; }
    const Vector3& getRotation() const { return rotation; }
    float getScaleFactor() const { return scaleFactor; }
    const Matrix4& getRotationMatrix() const { return rotationMatrix; }
    const Matrix4& getScaleMatrix() const { return scaleMatrix; }
    BoundingVolume* getBoundingVolume() const { return boundingVolume; }
    void setShowVolume(bool show) { showVolume = show; }
    bool getShowVolume() const { return showVolume; }
    void setDeferredDraw(bool deferred) { deferredDraw = deferred; }
    bool isDeferredDraw() const { return deferredDraw; }
    bool isRegistered() const { return registered; }

    // The stamp of this node's latest change.
    std::uint64_t changeStamp() const { return stamp; }
    // How many of the latest stamps of a world its registry's changedNode
    // answers for.
    static constexpr std::uint64_t kChangeLogSize = 256;

    // translate(position) * rotation * scale
    Matrix4 localMatrix() const;
    Matrix4 worldMatrix() const;
    Matrix4 worldRotation() const;
    Vector3 worldPosition() const;

    void registerForHits();
    void unregisterForHits();
    // This node displaced by offset (in world coordinates) against other as
    // it stands. A hit is recorded as a touching pair.
    HitResult hitTest(NodeTransform* other, const Vector3& offset);
    // The same test as hitTest, but a hit is not recorded: for probing where
    // a contact begins and which way it pushes.
    bool overlaps(NodeTransform* other, const Vector3& offset);
    HitResult probe(NodeTransform* other, const Vector3& offset);
    // Against every other registered node in registration order; the first
    // hit is returned and ends the search.
    HitResult hitTestAll(const Vector3& offset);

    int classId() const override;
    void serialize(NSSerialize::SerialStream& stream) override;
    // Deep copies: the copy and every copied child get fresh ids, and the
    // copy has no parent.
    NSClone::Cloneable* clone() const override;
    void copyFrom(const NSClone::Cloneable* source) override;

protected:
    // Called for each node of a subtree that moved from one world to
    // another, after the move: what a node holds in its world follows it.
    virtual void changedWorld(ControllerNode& from);

private:
    void noteChange();
    HitResult hitTestPlaced(NodeTransform* other);
    HitResult testPlaced(NodeTransform* other);

    BoundingVolume* boundingVolume = nullptr;
    Vector3 position;
    Vector3 rotation;
    float scaleFactor = 1.0f;
    Matrix4 rotationMatrix;
    Matrix4 scaleMatrix;
    bool showVolume = false;
    bool registered = false;
    bool deferredDraw = false;
    std::uint64_t stamp = 0;
    ControllerNode* registry;
    // Where the registry keeps the node among its members.
    friend class ControllerNode;
    size_t worldSlot = 0;
};

} // namespace NSNode
