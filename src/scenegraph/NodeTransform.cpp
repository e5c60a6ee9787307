#include "scenegraph/NodeTransform.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "persistence/RecordIO.h"
#include "scenegraph/ControllerNode.h"

using NSClone::Cloneable;
using NSSerialize::SerialStream;

namespace NSNode {

namespace {

std::uint64_t logSlot(std::uint64_t s) { return s % NodeTransform::kChangeLogSize; }

// Angles are kept inside (-2 pi, 2 pi), with the sign of the sum.
float reduceAngle(float a) { return static_cast<float>(std::fmod(static_cast<double>(a), 6.283185308)); }

// T(t) * m for an affine m (last row 0, 0, 0, 1), which every node matrix
// is: only the translation column changes, so no full product is needed.
Matrix4 translated(const Vector3& t, Matrix4 m) {
    m.m[12] += t.x;
    m.m[13] += t.y;
    m.m[14] += t.z;
    return m;
}

} // namespace

NodeTransform::NodeTransform(bool full) : registry(&ControllerNode::inUse()) {
    registry->join(this);
    // A node made where a destroyed one was must not pass for it.
    noteChange();
    if (!full)
        return;
    boundingVolume = new BoundingVolume(true);
    setId(registry->nextId());
}

// Only the latest stamps can still name the node.
static void forgetStamps(ControllerNode& world, const NodeTransform* node) {
    ControllerNode::ChangeLog& log = world.changeLog();
    if (log.lastStamp - node->changeStamp() < NodeTransform::kChangeLogSize)
        for (NodeTransform*& logged : log.nodes)
            if (logged == node)
                logged = nullptr;
}

NodeTransform::~NodeTransform() {
    forgetStamps(*registry, this);
    delete boundingVolume;
    boundingVolume = nullptr;
    unregisterForHits();
    registry->leave(this);
}

int NodeTransform::setId(int newId) {
    registry->noteId(newId);
    return Node<NodeTransform>::setId(newId);
}

void NodeTransform::noteChange() {
    ControllerNode::ChangeLog& log = registry->changeLog();
    stamp = ++log.lastStamp;
    log.nodes[logSlot(stamp)] = this;
}

NodeTransform* NodeTransform::setParent(NodeTransform* p) {
    noteChange();
    registry->markOrderChanged();
    if (p && p->registry != registry)
        moveToWorld(*p->registry);
    return Node<NodeTransform>::setParent(p);
}

void NodeTransform::moveToWorld(ControllerNode& to) {
    if (registry == &to)
        return;
    ControllerNode& from = *registry;
    forgetStamps(from, this);
    const bool wasRegistered = registered;
    unregisterForHits();
    from.leave(this);
    const int held = getId();
    const bool taken = held >= 1 && to.idTaken(held);
    registry = &to;
    to.join(this);
    noteChange();
    to.markOrderChanged();
    if (held >= 1)
        setId(taken ? to.nextId() : held);
    if (wasRegistered)
        registerForHits();
    changedWorld(from);
    for (NodeTransform* child : getChildren())
        child->moveToWorld(to);
}

void NodeTransform::changedWorld(ControllerNode&) {}

void NodeTransform::translate(const Vector3& d) {
    position += d;
    noteChange();
}

void NodeTransform::rotate(const Vector3& d) {
    noteChange();
    rotation += d;
    rotation.x = reduceAngle(rotation.x);
    rotation.y = reduceAngle(rotation.y);
    rotation.z = reduceAngle(rotation.z);
    rotationMatrix.rotate(d.y, Vector3(0, 1, 0));
    rotationMatrix.rotate(d.x, Vector3(1, 0, 0));
    rotationMatrix.rotate(d.z, Vector3(0, 0, 1));
}

void NodeTransform::scaleAxes(const Vector3& s) {
    scaleMatrix.scale(s);
    noteChange();
}

void NodeTransform::scale(float d) {
    scaleFactor += d;
    scaleAxes(Vector3(d, d, d));
}

void NodeTransform::setBoundingVolume(BoundingVolume* v) {
    // Also when v is the volume the node has: it may have been edited.
    noteChange();
    if (v == boundingVolume)
        return;
    delete boundingVolume;
    boundingVolume = v;
}

void NodeTransform::setPosition(const Vector3& p) {
    position = Vector3();
    translate(p);
}

void NodeTransform::setRotation(const Vector3& a) {
    rotation = Vector3();
    rotationMatrix = Matrix4();
    rotate(a);
}

void NodeTransform::setScale(float s) {
    scaleFactor = 0.0f;
    scaleMatrix = Matrix4();
    scale(s);
}

Matrix4 NodeTransform::localMatrix() const { return translated(position, rotationMatrix * scaleMatrix); }

Matrix4 NodeTransform::worldMatrix() const {
    const NodeTransform* p = getParent();
    return p ? p->worldMatrix() * localMatrix() : localMatrix();
}

Matrix4 NodeTransform::worldRotation() const {
    const NodeTransform* p = getParent();
    return p ? p->worldRotation() * rotationMatrix : rotationMatrix;
}

Vector3 NodeTransform::worldPosition() const {
    const NodeTransform* p = getParent();
    return p ? p->worldMatrix().transformPoint(position) : position;
}

void NodeTransform::draw() {
    glMultMatrixf(localMatrix().data());
    if (showVolume && boundingVolume) {
        glPushAttrib(GL_ENABLE_BIT);
        glDisable(GL_LIGHTING);
        boundingVolume->setTransform(worldMatrix());
        glColor3f(1.0f, 1.0f, 1.0f);
        boundingVolume->drawWireframe();
        glPopAttrib();
    }
    DeferredDrawSink* drawSink = registry->deferredSink();
    for (NodeTransform* child : getChildren()) {
        if (child->deferredDraw && drawSink) {
            drawSink->defer(child);
            continue;
        }
        glPushMatrix();
        child->draw();
        glPopMatrix();
    }
}

void NodeTransform::finishStep(float dt) {
    const auto& children = getChildren();
    for (size_t i = children.size(); i-- > 0;) {
        glPushMatrix();
        children[i]->finishStep(dt);
        glPopMatrix();
    }
}

void NodeTransform::simulate(float dt) {
    const auto& children = getChildren();
    for (size_t i = children.size(); i-- > 0;)
        children[i]->simulate(dt);
}

float NodeTransform::lowestPointOffset() {
    if (!boundingVolume)
        return 0.0f;
    boundingVolume->setTransform(worldMatrix());
    const Vector3 p = worldPosition();
    float lowest = 0.0f;
    for (const BoundingVolume::Volume* v : boundingVolume->getVolumes())
        lowest = std::min(lowest, (v->getWorldCenter().y - p.y) + v->downExtent());
    return lowest;
}

void NodeTransform::registerForHits() {
    if (!registered)
        registry->addNode(this);
    registered = true;
}

void NodeTransform::unregisterForHits() {
    if (registered)
        registry->removeNode(this);
    registered = false;
}

HitResult NodeTransform::hitTest(NodeTransform* other, const Vector3& offset) {
    if (!other || !boundingVolume)
        return HitResult();
    boundingVolume->setTransform(translated(offset, worldMatrix()));
    return hitTestPlaced(other);
}

bool NodeTransform::overlaps(NodeTransform* other, const Vector3& offset) { return probe(other, offset).hit; }

HitResult NodeTransform::probe(NodeTransform* other, const Vector3& offset) {
    if (!other || !boundingVolume)
        return HitResult();
    boundingVolume->setTransform(translated(offset, worldMatrix()));
    return testPlaced(other);
}

// This node's volume already stands where it is tested.
HitResult NodeTransform::hitTestPlaced(NodeTransform* other) {
    HitResult r = testPlaced(other);
    if (r.hit)
        registry->addHit(this, other);
    return r;
}

// As hitTestPlaced, without recording the pair.
HitResult NodeTransform::testPlaced(NodeTransform* other) {
    if (!other->boundingVolume)
        return HitResult();
    other->boundingVolume->setTransform(other->worldMatrix());
    return boundingVolume->hitTest(*other->boundingVolume);
}

HitResult NodeTransform::hitTestAll(const Vector3& offset) {
    if (!boundingVolume)
        return HitResult();
    // Nothing moves during the search, so this node's volume is placed once.
    boundingVolume->setTransform(translated(offset, worldMatrix()));
    const std::vector<NodeTransform*>& nodes = registry->nodes();
    for (size_t i = 0; i < nodes.size(); ++i) {
        if (nodes[i] == this)
            continue;
        HitResult r = hitTestPlaced(nodes[i]);
        if (r.hit)
            return r;
    }
    return HitResult();
}

int NodeTransform::classId() const { return CLASS_NODE_TRANSFORM; }

void NodeTransform::serialize(SerialStream& stream) {
    Serializeable::serialize(stream);
    if (!stream.isCurrentVersion())
        return;
    if (stream.isWriting()) {
        stream.writeInt(id);
        stream.writeVector3(position, "position", NSSerialize::Limits::kPosition);
        stream.writeVector3(rotation, "rotation", NSSerialize::Limits::kRotation);
        stream.writeFloat(scaleFactor, "scale", NSSerialize::Limits::kScale);
        stream.writeBool(registered);
        stream.writeBool(deferredDraw);
        if (boundingVolume) {
            boundingVolume->serialize(stream);
        } else {
            BoundingVolume empty(true);
            empty.serialize(stream);
        }
        NSSerialize::writeList(stream, "[nodT]", "[nodO]", getChildren());
        return;
    }
    clear();
    // An id out of range is kept from the registry: it would leave no ids
    // for new objects. The scene's reader gives such nodes new ones.
    const int id = stream.readInt();
    if (id >= 1 && id <= NSSerialize::SerialStream::kMaxNodeId)
        setId(id);
    else
        Node<NodeTransform>::setId(id);
    setPosition(stream.readVector3("position", NSSerialize::Limits::kPosition));
    setRotation(stream.readVector3("rotation", NSSerialize::Limits::kRotation));
    setScale(stream.readFloat("scale", NSSerialize::Limits::kScale));
    if (stream.readBool())
        registerForHits();
    deferredDraw = stream.readBool();
    BoundingVolume* volume = new BoundingVolume(true);
    volume->serialize(stream);
    setBoundingVolume(volume);
    // Children of classes the factory cannot make as nodes are skipped.
    NSSerialize::readList<NodeTransform>(stream, [this](NodeTransform* child) { addChild(child); });
}

Cloneable* NodeTransform::clone() const { return NSClone::cloneOf(*this); }

void NodeTransform::copyFrom(const Cloneable* source) {
    const NodeTransform* src = dynamic_cast<const NodeTransform*>(source);
    if (!src || src == this)
        return;
    // A copy stands on its own: out of any tree, its old children gone.
    if (NodeTransform* p = getParent())
        p->removeChild(this);
    clear();
    for (NodeTransform* child : src->getChildren()) {
        Cloneable* copied = child->clone();
        if (NodeTransform* node = dynamic_cast<NodeTransform*>(copied))
            addChild(node);
        else
            delete copied;
    }
    setId(registry->nextId());
    position = src->position;
    rotation = src->rotation;
    scaleFactor = src->scaleFactor;
    showVolume = src->showVolume;
    rotationMatrix = src->rotationMatrix;
    scaleMatrix = src->scaleMatrix;
    deferredDraw = src->deferredDraw;
    noteChange();
    unregisterForHits();
    if (src->registered)
        registerForHits();
    BoundingVolume* volume = nullptr;
    if (src->boundingVolume)
        volume = dynamic_cast<BoundingVolume*>(src->boundingVolume->clone());
    setBoundingVolume(volume);
}

} // namespace NSNode

QBN_REGISTER_CLASS(CLASS_NODE_TRANSFORM, NSNode::NodeTransform)
