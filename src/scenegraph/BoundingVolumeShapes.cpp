// The solids a bounding volume is made of: a box, a sphere, a room (the
// inside of a box) and a plane, each with its world placement, its drawing
// and its record. How two of them meet is in BoundingVolumeOverlap.cpp.
#include "scenegraph/BoundingVolume.h"

#include <GL/gl.h>

#include <cfloat>
#include <cmath>

#include "persistence/RecordIO.h"
#include "shell/Log.h"

using NSClone::Cloneable;
using NSSerialize::SerialStream;

namespace NSNode {

namespace {

Vector3 unit(Vector3 v) { return v.normalize(); }

// World size over local size, for drawing in the local frame. Degenerate
// solids (zero or broken sizes from a damaged file) draw at scale 1.
float sizeRatio(float world, float local) {
    float k = world / local;
    return std::isfinite(k) && k > 0.0f ? k : 1.0f;
}

inline void vertex(const Vector3& v) { glVertex3f(v.x, v.y, v.z); }

void drawBoxEdges(const Vector3& c, const Vector3 e[3]) {
    glLineWidth(1.0f);
    glBegin(GL_LINES);
    for (int i = 0; i < 8; ++i) {
        for (int bit = 1; bit < 8; bit <<= 1) {
            if (!(i & bit)) {
                vertex(boxCorner(c, e, i));
                vertex(boxCorner(c, e, i | bit));
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
            Vector3 from = boxCorner(c, e, i);
            vertex(from);
            vertex((i & (1 << axis)) ? from - d : from + d);
        }
        glEnd();
    }
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

} // namespace NSNode
