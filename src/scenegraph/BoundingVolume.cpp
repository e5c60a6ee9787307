// The bounding volume of a node: its solids, the outer sphere around them,
// the hit tests against another volume and its record.
#include "scenegraph/BoundingVolume.h"

#include <GL/gl.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <utility>

#include "persistence/RecordIO.h"
#include "shell/Log.h"

using NSClone::Cloneable;
using NSSerialize::SerialStream;

namespace NSNode {

BoundingVolume::BoundingVolume(bool) {}

BoundingVolume::~BoundingVolume() { clearVolumes(); }

BoundingVolume* BoundingVolume::makeBoxVolume(const Vector3& c, const Vector3& size) {
    const Vector3 h = size * 0.5f;
    BoundingVolume* v = new BoundingVolume(true);
    v->setOuterSphere(c, h.length());
    v->addVolume(new Box(c, c + Vector3(h.x, 0, 0), c + Vector3(0, h.y, 0), c + Vector3(0, 0, h.z)));
    return v;
}

BoundingVolume* BoundingVolume::makeSphereVolume(const Vector3& c, float radius) {
    BoundingVolume* v = new BoundingVolume(true);
    v->setOuterSphere(c, radius);
    v->addVolume(new Sphere(c, radius));
    return v;
}

BoundingVolume* BoundingVolume::makeRoomVolume(const Vector3& c, const Vector3& size) {
    BoundingVolume* v = new BoundingVolume(true);
    v->unbounded = true;
    v->addVolume(new Room(c, size * 0.5f));
    return v;
}

BoundingVolume* BoundingVolume::makeUnboundedVolume() {
    BoundingVolume* v = new BoundingVolume(true);
    v->unbounded = true;
    v->everywhere = true;
    return v;
}

void BoundingVolume::setTransform(const Matrix4& m) {
    // The outer sphere moves with the solids: the quick rejection compares
    // where the two volumes really are, not where their local frames put them.
    outerSphere.setTransform(m);
    for (Volume* v : volumes)
        v->setTransform(m);
}

// Both directions point from other towards this volume (up when the two
// solids share their centre, so that they come apart): normalA is the
// reversed direction of this volume's solid towards the other's centre,
// normalB the other solid's direction towards this one's centre. When a
// solid of lower priority meets one of higher priority the two change
// places, so a box's own face direction always ends up last. Against a
// room both are the inward normal of the wall met.
//
// The outer spheres are compared as they stand, untransformed: they reject
// only volumes whose enclosing spheres do not even meet in the local frame.
HitResult BoundingVolume::hitTest(const BoundingVolume& other) const {
    HitResult result;
    if (!unbounded && !other.unbounded && !outerSphere.hitSphere(other.outerSphere))
        return result;
    if (everywhere || other.everywhere) {
        result.hit = true;
        return result;
    }
    for (const Volume* a : volumes) {
        for (const Volume* b : other.volumes) {
            if (!a->hitTest(*b))
                continue;
            result.normalA = -a->normalAt(b->getWorldCenter());
            result.normalB = b->normalAt(a->getWorldCenter());
            if (b->priority() < a->priority())
                std::swap(result.normalA, result.normalB);
            // A room has no centre to point to: a solid meets its walls
            // along the wall's inward normal, both ways of asking.
            if (b->classId() == CLASS_VOLUME_ROOM)
                result.normalA = result.normalB = b->normalAt(a->getWorldCenter());
            else if (a->classId() == CLASS_VOLUME_ROOM)
                result.normalA = result.normalB = -a->normalAt(b->getWorldCenter());
            // Solids centred on one point (two objects made in one place)
            // give no direction: this one gets free upwards.
            for (Vector3* n : {&result.normalA, &result.normalB})
                if (n->length() == 0.0f)
                    *n = Vector3(0.0f, 1.0f, 0.0f);
            result.hit = true;
            return result;
        }
    }
    return result;
}

void BoundingVolume::drawWireframe() const {
    glPushAttrib(GL_CURRENT_BIT | GL_LINE_BIT);
    for (const Volume* v : volumes)
        v->drawWireframe();
    glPopAttrib();
}

void BoundingVolume::drawBrackets() const {
    glPushAttrib(GL_CURRENT_BIT | GL_LINE_BIT);
    for (const Volume* v : volumes)
        v->drawBrackets();
    glPopAttrib();
}

void BoundingVolume::addVolume(Volume* volume) {
    if (volume)
        volumes.push_back(volume);
}

void BoundingVolume::clearVolumes() {
    std::vector<Volume*> old;
    old.swap(volumes);
    for (Volume* v : old)
        delete v;
}

int BoundingVolume::classId() const { return CLASS_BOUNDING_VOLUME; }

// The solid list carries the everywhere flag a second time, between its count
// and its elements; on reading, the later copy wins.
void BoundingVolume::serialize(SerialStream& stream) {
    Serializeable::serialize(stream);
    if (!stream.isCurrentVersion())
        return;
    if (stream.isWriting()) {
        stream.writeBool(unbounded);
        outerSphere.serialize(stream);
        stream.writeBool(everywhere);
        stream.writeString("[volL]");
        stream.beginBlock();
        stream.writeInt(static_cast<int>(volumes.size()));
        stream.writeBool(everywhere);
        for (Volume* v : volumes)
            NSSerialize::writeElement(stream, "[volO]", *v);
        stream.endBlock();
        return;
    }
    clearVolumes();
    unbounded = stream.readBool();
    outerSphere.serialize(stream);
    everywhere = stream.readBool();
    stream.readString(); // the list tag
    const long end = stream.readBlockEnd();
    if (end < 0)
        return;
    const int count = stream.readCount(NSSerialize::kMinElementBytes);
    everywhere = stream.readBool();
    for (int i = 0; i < count && !stream.failed() && !stream.ended(); ++i) {
        // Solids of unknown kinds are skipped (the factory logs them).
        if (Volume* v = NSSerialize::readElement<Volume>(stream))
            volumes.push_back(v);
    }
    stream.leaveBlock(end);
}

Cloneable* BoundingVolume::clone() const { return NSClone::cloneOf(*this); }

void BoundingVolume::copyFrom(const Cloneable* source) {
    const BoundingVolume* b = dynamic_cast<const BoundingVolume*>(source);
    if (!b || b == this)
        return;
    unbounded = b->unbounded;
    everywhere = b->everywhere;
    outerSphere.copyFrom(&b->outerSphere);
    clearVolumes();
    for (const Volume* v : b->volumes)
        addVolume(dynamic_cast<Volume*>(v->clone()));
}

} // namespace NSNode

QBN_REGISTER_CLASS(CLASS_BOUNDING_VOLUME, NSNode::BoundingVolume)
QBN_REGISTER_CLASS(CLASS_VOLUME_BOX, NSNode::BoundingVolume::Box)
QBN_REGISTER_CLASS(CLASS_VOLUME_SPHERE, NSNode::BoundingVolume::Sphere)
QBN_REGISTER_CLASS(CLASS_VOLUME_ROOM, NSNode::BoundingVolume::Room)
