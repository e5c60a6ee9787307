// How two solids of a bounding volume meet: one rule for each pair of
// kinds, by separating axes where boxes take part.
#include "scenegraph/BoundingVolume.h"

#include <cmath>

namespace NSNode {

namespace {

using Box = BoundingVolume::Box;
using Sphere = BoundingVolume::Sphere;
using Room = BoundingVolume::Room;
using Plane = BoundingVolume::Plane;

Vector3 unit(Vector3 v) { return v.normalize(); }

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
        Vector3 p = boxCorner(box.getWorldCenter(), e, i);
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

bool BoundingVolume::Box::hitBox(const Box& box) const { return boxesOverlap(*this, box); }
bool BoundingVolume::Box::hitSphere(const Sphere& sphere) const { return boxSphereOverlap(*this, sphere); }
bool BoundingVolume::Box::hitRoom(const Room& room) const { return roomBoxOverlap(room, *this); }
bool BoundingVolume::Sphere::hitBox(const Box& box) const { return boxSphereOverlap(box, *this); }
bool BoundingVolume::Sphere::hitSphere(const Sphere& sphere) const { return spheresOverlap(*this, sphere); }
bool BoundingVolume::Sphere::hitRoom(const Room& room) const { return roomSphereOverlap(room, *this); }
bool BoundingVolume::Sphere::hitPlane(const Plane& plane) const { return planeSphereOverlap(plane, *this); }
bool BoundingVolume::Room::hitBox(const Box& box) const { return roomBoxOverlap(*this, box); }
bool BoundingVolume::Room::hitSphere(const Sphere& sphere) const { return roomSphereOverlap(*this, sphere); }
bool BoundingVolume::Plane::hitSphere(const Sphere& sphere) const { return planeSphereOverlap(*this, sphere); }

} // namespace NSNode
