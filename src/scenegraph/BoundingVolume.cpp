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

namespace {

using Box = BoundingVolume::Box;
using Sphere = BoundingVolume::Sphere;
using Room = BoundingVolume::Room;
using Plane = BoundingVolume::Plane;

Vector3 unit(Vector3 v) { return v.normalize(); }

// World size over local size, for drawing in the local frame. Degenerate
// solids (zero or broken sizes from a damaged file) draw at scale 1.
float sizeRatio(float world, float local) {
    float k = world / local;
    return std::isfinite(k) && k > 0.0f ? k : 1.0f;
}

inline void vertex(const Vector3& v) { glVertex3f(v.x, v.y, v.z); }

// The corner of the box centre +- e[0] +- e[1] +- e[2] whose signs are the
// bits of i (bit set: plus).
Vector3 corner(const Vector3& c, const Vector3 e[3], int i) {
    return c + ((i & 1) ? e[0] : -e[0]) + ((i & 2) ? e[1] : -e[1]) + ((i & 4) ? e[2] : -e[2]);
}

void drawBoxEdges(const Vector3& c, const Vector3 e[3]) {
    glLineWidth(1.0f);
    glBegin(GL_LINES);
    for (int i = 0; i < 8; ++i) {
        for (int bit = 1; bit < 8; bit <<= 1) {
            if (!(i & bit)) {
                vertex(corner(c, e, i));
                vertex(corner(c, e, i | bit));
            }
        }
    }
    glEnd();
}

// Three strokes from every corner, along its three edges into the edge:
// three world units long (3 / k local units), or the whole edge when that
// is shorter.
void drawBracketBox(const Vector3& c, const Vector3 e[3], float k) {
    glLineWidth(3.0f);
    const float limit = 3.0f / k;
    for (int axis = 0; axis < 3; ++axis) {
        Vector3 d = e[axis] * 2.0f;
        float len = d.length();
        if (len >= limit)
            d *= limit / len;
        glBegin(GL_LINES);
        for (int i = 0; i < 8; ++i) {
            Vector3 from = corner(c, e, i);
            vertex(from);
            vertex((i & (1 << axis)) ? from - d : from + d);
        }
        glEnd();
    }
}

// --- the pair rules ------------------------------------------------------

bool spheresOverlap(const Sphere& a, const Sphere& b) {
    return length(a.getWorldCenter() - b.getWorldCenter()) < a.getWorldRadius() + b.getWorldRadius();
}

// Separating axes: the box's own three only.
bool boxSphereOverlap(const Box& box, const Sphere& sphere) {
    Vector3 e[3];
    box.worldHalfAxes(e);
    Vector3 d = sphere.getWorldCenter() - box.getWorldCenter();
    for (int i = 0; i < 3; ++i) {
        Vector3 u = unit(e[i]);
        float reach = std::fabs(dot(e[0], u)) + std::fabs(dot(e[1], u)) + std::fabs(dot(e[2], u));
        if (!(std::fabs(dot(d, u)) < reach + sphere.getWorldRadius()))
            return false;
    }
    return true;
}

// Separating axes: the three face axes of each box, then the nine cross
// products, A's axis in the outer loop.
bool boxesOverlap(const Box& a, const Box& b) {
    Vector3 ea[3], eb[3], ua[3], ub[3];
    a.worldHalfAxes(ea);
    b.worldHalfAxes(eb);
    for (int i = 0; i < 3; ++i) {
        ua[i] = unit(ea[i]);
        ub[i] = unit(eb[i]);
    }
    const Vector3 d = b.getWorldCenter() - a.getWorldCenter();
    auto separates = [&](const Vector3& axis) {
        float ra = std::fabs(dot(ea[0], axis)) + std::fabs(dot(ea[1], axis)) + std::fabs(dot(ea[2], axis));
        float rb = std::fabs(dot(eb[0], axis)) + std::fabs(dot(eb[1], axis)) + std::fabs(dot(eb[2], axis));
        return std::fabs(dot(d, axis)) >= ra + rb;
    };
    // A flat box has a zero half-axis, which is no direction at all: it is
    // skipped like a zero cross product rather than taken to separate.
    for (int i = 0; i < 3; ++i)
        if (ua[i].length() != 0.0f && separates(ua[i]))
            return false;
    for (int i = 0; i < 3; ++i)
        if (ub[i].length() != 0.0f && separates(ub[i]))
            return false;
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            Vector3 axis = cross(ua[i], ub[j]);
            if (axis.length() == 0.0f)
                continue;
            if (separates(axis.normalize()))
                return false;
        }
    }
    return true;
}

// Any corner not strictly inside the room is a hit.
bool roomBoxOverlap(const Room& room, const Box& box) {
    const Vector3 lo = room.getWorldCenter() - room.getWorldHalfSize();
    const Vector3 hi = room.getWorldCenter() + room.getWorldHalfSize();
    Vector3 e[3];
    box.worldHalfAxes(e);
    for (int i = 0; i < 8; ++i) {
        Vector3 p = corner(box.getWorldCenter(), e, i);
        bool inside = lo.x < p.x && p.x < hi.x && lo.y < p.y && p.y < hi.y && lo.z < p.z && p.z < hi.z;
        if (!inside)
            return true;
    }
    return false;
}

bool roomSphereOverlap(const Room& room, const Sphere& sphere) {
    const Vector3 lo = room.getWorldCenter() - room.getWorldHalfSize();
    const Vector3 hi = room.getWorldCenter() + room.getWorldHalfSize();
    const Vector3& c = sphere.getWorldCenter();
    const float r = sphere.getWorldRadius();
    return c.x + r >= hi.x || c.x - r <= lo.x || c.y + r >= hi.y || c.y - r <= lo.y || c.z + r >= hi.z ||
           c.z - r <= lo.z;
}

bool planeSphereOverlap(const Plane& plane, const Sphere& sphere) {
    float s = dot(plane.getNormal(), sphere.getWorldCenter()) + plane.getDistance();
    float v = plane.getMode() ? s + sphere.getWorldRadius() : s - sphere.getWorldRadius();
    return v < 0.0f;
}

} // namespace

// --- Volume ----------------------------------------------------------------

void BoundingVolume::Volume::setTransform(const Matrix4& m) { worldCenter = m.transformPoint(center); }

bool BoundingVolume::Volume::hitTest(const Volume&) const {
    log(LOG_ERROR | LOG_HITTEST, "Hit-Test zwischen Objekten nicht definiert!!!\n");
    return false;
}

int BoundingVolume::Volume::classId() const { return CLASS_VOLUME; }

void BoundingVolume::Volume::serialize(SerialStream& stream) { Serializeable::serialize(stream); }

void BoundingVolume::Volume::copyFrom(const Cloneable* source) {
    const Volume* v = dynamic_cast<const Volume*>(source);
    if (!v)
        return;
    center = v->center;
    worldCenter = v->worldCenter;
}

// --- Box -------------------------------------------------------------------

BoundingVolume::Box::Box(bool)
    : Volume(Vector3()), worldAxisX(1, 0, 0), worldAxisY(0, 1, 0), worldAxisZ(0, 0, 1), axisPointX(1, 0, 0),
      axisPointY(0, 1, 0), axisPointZ(0, 0, 1) {}

BoundingVolume::Box::Box(const Vector3& c, const Vector3& x, const Vector3& y, const Vector3& z)
    : Volume(c), worldAxisX(x), worldAxisY(y), worldAxisZ(z), axisPointX(x), axisPointY(y), axisPointZ(z) {}

void BoundingVolume::Box::setTransform(const Matrix4& m) {
    Volume::setTransform(m);
    worldAxisX = m.transformPoint(axisPointX);
    worldAxisY = m.transformPoint(axisPointY);
    worldAxisZ = m.transformPoint(axisPointZ);
}

void BoundingVolume::Box::worldHalfAxes(Vector3 e[3]) const {
    e[0] = worldAxisX - worldCenter;
    e[1] = worldAxisY - worldCenter;
    e[2] = worldAxisZ - worldCenter;
}

bool BoundingVolume::Box::hitBox(const Box& box) const { return boxesOverlap(*this, box); }
bool BoundingVolume::Box::hitSphere(const Sphere& sphere) const { return boxSphereOverlap(*this, sphere); }
bool BoundingVolume::Box::hitRoom(const Room& room) const { return roomBoxOverlap(room, *this); }

// The face whose plane the ray from the centre towards p crosses first.
Vector3 BoundingVolume::Box::normalAt(const Vector3& p) const {
    const Vector3 d = unit(p - worldCenter);
    Vector3 e[3];
    worldHalfAxes(e);
    static const int order[3] = {1, 2, 0}; // Y, Z, X
    bool found = false;
    float bestT = 0.0f;
    Vector3 best;
    for (int k : order) {
        Vector3 u = unit(e[k]);
        float c = dot(d, u);
        if (c == 0.0f)
            continue;
        float t = e[k].length() / std::fabs(c);
        if (!found || t < bestT || bestT == 0.0f) {
            found = true;
            bestT = t;
            best = u;
        }
    }
    return dot(d, best) < 0.0f ? -best : best;
}

void BoundingVolume::Box::drawWireframe() const {
    const Vector3 e[3] = {axisPointX - center, axisPointY - center, axisPointZ - center};
    drawBoxEdges(center, e);
}

void BoundingVolume::Box::drawBrackets() const {
    const float k = sizeRatio((worldAxisX - worldCenter).length(), (axisPointX - center).length());
    const float m = 1.0f / k;
    const Vector3 e[3] = {(axisPointX - center) + Vector3(m, 0, 0), (axisPointY - center) + Vector3(0, m, 0),
                          (axisPointZ - center) + Vector3(0, 0, m)};
    drawBracketBox(center, e, k);
}

float BoundingVolume::Box::downExtent() const {
    Vector3 e[3];
    worldHalfAxes(e);
    return -(std::fabs(e[0].y) + std::fabs(e[1].y) + std::fabs(e[2].y));
}

int BoundingVolume::Box::classId() const { return CLASS_VOLUME_BOX; }

void BoundingVolume::Box::serialize(SerialStream& stream) {
    Volume::serialize(stream);
    if (!stream.isCurrentVersion())
        return;
    // Y and Z change places on file; the order is part of the format.
    stream.transfer(center, "box centre", NSSerialize::Limits::kPosition);
    stream.transfer(axisPointX, "box corner x", NSSerialize::Limits::kPosition);
    stream.transfer(axisPointZ, "box corner z", NSSerialize::Limits::kPosition);
    stream.transfer(axisPointY, "box corner y", NSSerialize::Limits::kPosition);
    if (stream.isReading()) {
        worldCenter = center;
        worldAxisX = axisPointX;
        worldAxisY = axisPointY;
        worldAxisZ = axisPointZ;
    }
}

Cloneable* BoundingVolume::Box::clone() const { return NSClone::cloneOf(*this); }

void BoundingVolume::Box::copyFrom(const Cloneable* source) {
    const Box* b = dynamic_cast<const Box*>(source);
    if (!b)
        return;
    Volume::copyFrom(source);
    worldAxisX = b->worldAxisX;
    worldAxisY = b->worldAxisY;
    worldAxisZ = b->worldAxisZ;
    axisPointX = b->axisPointX;
    axisPointY = b->axisPointY;
    axisPointZ = b->axisPointZ;
}

// --- Sphere ----------------------------------------------------------------

BoundingVolume::Sphere::Sphere(bool) : Volume(Vector3()) {}

BoundingVolume::Sphere::Sphere(const Vector3& c, float r) : Volume(c), radius(r), worldRadius(r) {}

void BoundingVolume::Sphere::setTransform(const Matrix4& m) {
    Volume::setTransform(m);
    worldRadius = length(m.transformPoint(center + Vector3(radius, 0, 0)) - worldCenter);
}

bool BoundingVolume::Sphere::hitBox(const Box& box) const { return boxSphereOverlap(box, *this); }
bool BoundingVolume::Sphere::hitSphere(const Sphere& sphere) const { return spheresOverlap(*this, sphere); }
bool BoundingVolume::Sphere::hitRoom(const Room& room) const { return roomSphereOverlap(room, *this); }
bool BoundingVolume::Sphere::hitPlane(const Plane& plane) const { return planeSphereOverlap(plane, *this); }

Vector3 BoundingVolume::Sphere::normalAt(const Vector3& p) const { return unit(p - worldCenter); }

// Circles about all three axes at n + 1 levels; larger spheres get more
// levels and smoother circles (bounded, so a broken size cannot stall a frame).
void BoundingVolume::Sphere::drawWireframe() const {
    // Drawn in the node's frame, whose matrix already scales: the circles
    // take the local radius; the world radius only sets how fine they are.
    const float r = radius;
    const float world = worldRadius;
    if (!std::isfinite(r) || !std::isfinite(world))
        return;
    constexpr int kMaxLevels = 64;
    constexpr int kMaxSegments = 256;
    const float levelCount = std::floor(world / 4.0f);
    const int n = levelCount > 4.0f ? static_cast<int>(std::min(levelCount, float(kMaxLevels))) : 4;
    const float levelStep = 2.0f * r / static_cast<float>(n);
    const float perTurn = 0.5f * world + 12.0f;
    if (!(perTurn > 0.0f))
        return;
    const float angleStep = 6.2831853076f / perTurn;
    const int segments = static_cast<int>(std::min(std::ceil(perTurn), float(kMaxSegments)));

    glLineWidth(1.0f);
    for (int i = 0; i <= n; ++i) {
        const float h = -r + static_cast<float>(i) * levelStep;
        const float rho = std::sqrt(std::max(0.0f, r * r - h * h));
        for (int axis = 0; axis < 3; ++axis) {
            glBegin(GL_LINE_LOOP);
            for (int s = 0; s < segments; ++s) {
                const float a = static_cast<float>(s) * angleStep;
                const float u = rho * std::cos(a), v = rho * std::sin(a);
                if (axis == 0)
                    vertex(center + Vector3(h, u, v));
                else if (axis == 1)
                    vertex(center + Vector3(u, h, v));
                else
                    vertex(center + Vector3(u, v, h));
            }
            glEnd();
        }
    }
}

void BoundingVolume::Sphere::drawBrackets() const {
    const float k = sizeRatio(worldRadius, radius);
    const float reach = radius + 1.0f / k;
    const Vector3 e[3] = {Vector3(reach, 0, 0), Vector3(0, reach, 0), Vector3(0, 0, reach)};
    drawBracketBox(center, e, k);
}

int BoundingVolume::Sphere::classId() const { return CLASS_VOLUME_SPHERE; }

void BoundingVolume::Sphere::serialize(SerialStream& stream) {
    Volume::serialize(stream);
    if (!stream.isCurrentVersion())
        return;
    stream.transfer(center, "sphere centre", NSSerialize::Limits::kPosition);
    stream.transfer(radius, "sphere radius", NSSerialize::Limits::kSize);
    if (stream.isReading()) {
        worldCenter = center;
        worldRadius = radius;
    }
}

Cloneable* BoundingVolume::Sphere::clone() const { return NSClone::cloneOf(*this); }

void BoundingVolume::Sphere::copyFrom(const Cloneable* source) {
    const Sphere* s = dynamic_cast<const Sphere*>(source);
    if (!s)
        return;
    Volume::copyFrom(source);
    radius = s->radius;
    worldRadius = s->worldRadius;
}

// --- Room ------------------------------------------------------------------

BoundingVolume::Room::Room(bool) : Volume(Vector3()) {}

BoundingVolume::Room::Room(const Vector3& c, const Vector3& h) : Volume(c), worldHalfSize(h), halfSize(h) {}

// A room stays axis-aligned: only the scale along x carries over.
void BoundingVolume::Room::setTransform(const Matrix4& m) {
    Volume::setTransform(m);
    const float probe = halfSize.x != 0.0f ? halfSize.x : 1.0f;
    const float k = length(m.transformPoint(center + Vector3(probe, 0, 0)) - worldCenter) / probe;
    worldHalfSize = halfSize * k;
}

bool BoundingVolume::Room::hitBox(const Box& box) const { return roomBoxOverlap(*this, box); }
bool BoundingVolume::Room::hitSphere(const Sphere& sphere) const { return roomSphereOverlap(*this, sphere); }

// The inward normal of the nearest wall; on a tie the earlier wall in the
// order -x, -y, -z, +x, +y, +z.
Vector3 BoundingVolume::Room::normalAt(const Vector3& p) const {
    const Vector3 lo = worldCenter - worldHalfSize;
    const Vector3 hi = worldCenter + worldHalfSize;
    const float dist[6] = {std::fabs(p.x - lo.x), std::fabs(p.y - lo.y), std::fabs(p.z - lo.z),
                           std::fabs(p.x - hi.x), std::fabs(p.y - hi.y), std::fabs(p.z - hi.z)};
    static const Vector3 inward[6] = {Vector3(1, 0, 0),  Vector3(0, 1, 0),  Vector3(0, 0, 1),
                                      Vector3(-1, 0, 0), Vector3(0, -1, 0), Vector3(0, 0, -1)};
    int best = 0;
    for (int i = 1; i < 6; ++i)
        if (dist[i] < dist[best])
            best = i;
    return inward[best];
}

void BoundingVolume::Room::drawWireframe() const {
    const Vector3 e[3] = {Vector3(halfSize.x, 0, 0), Vector3(0, halfSize.y, 0), Vector3(0, 0, halfSize.z)};
    drawBoxEdges(center, e);
}

void BoundingVolume::Room::drawBrackets() const {
    const float k = sizeRatio(worldHalfSize.x, halfSize.x);
    const float m = 1.0f / k;
    const Vector3 e[3] = {Vector3(halfSize.x + m, 0, 0), Vector3(0, halfSize.y + m, 0),
                          Vector3(0, 0, halfSize.z + m)};
    drawBracketBox(center, e, k);
}

float BoundingVolume::Room::downExtent() const { return -std::fabs(worldHalfSize.y); }

int BoundingVolume::Room::classId() const { return CLASS_VOLUME_ROOM; }

void BoundingVolume::Room::serialize(SerialStream& stream) {
    Volume::serialize(stream);
    if (!stream.isCurrentVersion())
        return;
    stream.transfer(center, "room centre", NSSerialize::Limits::kPosition);
    stream.transfer(halfSize, "room half size", NSSerialize::Limits::kSize);
    if (stream.isReading()) {
        worldCenter = center;
        worldHalfSize = halfSize;
    }
}

Cloneable* BoundingVolume::Room::clone() const { return NSClone::cloneOf(*this); }

void BoundingVolume::Room::copyFrom(const Cloneable* source) {
    const Room* r = dynamic_cast<const Room*>(source);
    if (!r)
        return;
    Volume::copyFrom(source);
    halfSize = r->halfSize;
    worldHalfSize = r->worldHalfSize;
}

// --- Plane -----------------------------------------------------------------

BoundingVolume::Plane::Plane(bool) : Volume(Vector3()) {}

BoundingVolume::Plane::Plane(float nx, float ny, float nz, float d, bool m)
    : Volume(Vector3()), normal(nx, ny, nz), distance(d), mode(m) {
    const float len = normal.length();
    if (len != 0.0f) {
        normal /= len;
        distance /= len;
    }
}

bool BoundingVolume::Plane::hitSphere(const Sphere& sphere) const { return planeSphereOverlap(*this, sphere); }

// A plane reaches down nowhere; the smallest positive float keeps it out of
// every minimum taken over real solids.
float BoundingVolume::Plane::downExtent() const { return FLT_MIN; }

int BoundingVolume::Plane::classId() const { return CLASS_VOLUME_PLANE; }

void BoundingVolume::Plane::serialize(SerialStream& stream) {
    Volume::serialize(stream);
    if (!stream.isCurrentVersion())
        return;
    stream.transfer(normal);
    stream.transfer(distance);
    stream.transfer(mode);
}

Cloneable* BoundingVolume::Plane::clone() const { return NSClone::cloneOf(*this); }

void BoundingVolume::Plane::copyFrom(const Cloneable* source) {
    const Plane* p = dynamic_cast<const Plane*>(source);
    if (!p)
        return;
    Volume::copyFrom(source);
    normal = p->normal;
    distance = p->distance;
    mode = p->mode;
}

// --- BoundingVolume --------------------------------------------------------

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

// Both directions point from other towards this volume: normalA is the
// reversed direction of this volume's solid towards the other's centre,
// normalB the other solid's direction towards this one's centre. When a
// solid of lower priority meets one of higher priority the two change
// places, so a box's own face direction always ends up last.
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
