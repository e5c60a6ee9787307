#pragma once
// Triangle meshes in the shape the MD2 format wants: vertices carry a position
// and a normal, texture coordinates are a separate list, and every triangle
// corner names one of each. Texture coordinates run 0..1 across the skin with
// v measured from the top row.
//
// Every builder emits triangles wound counter-clockwise seen from outside,
// with normals pointing away from the solid.

#include <cstdint>
#include <vector>

#include "assets/Geometry.h"

namespace NSAssets {

struct Triangle {
    uint32_t v[3];
    uint32_t uv[3];
};

// A rectangle of the skin that one part of a model is mapped into.
struct UvRect {
    float u0 = 0.0f, v0 = 0.0f, u1 = 1.0f, v1 = 1.0f;
    constexpr UvRect() = default;
    constexpr UvRect(float a, float b, float c, float d) : u0(a), v0(b), u1(c), v1(d) {}
    // In skin pixels of a size x size skin.
    static UvRect pixels(int x, int y, int w, int h, int size = 256) {
        float s = static_cast<float>(size);
        return UvRect(x / s, y / s, (x + w) / s, (y + h) / s);
    }
    Vec2 at(float s, float t) const { return Vec2(u0 + (u1 - u0) * s, v0 + (v1 - v0) * t); }
};

class Mesh {
public:
    std::vector<Vec3> positions;
    std::vector<Vec3> normals;
    std::vector<Vec2> uvs;
    std::vector<Triangle> triangles;

    uint32_t addVertex(Vec3 p, Vec3 n);
    uint32_t addUv(Vec2 uv);
    // Adds the triangle wound so that it faces the way its vertex normals point;
    // triangles without area are dropped.
    void addFacing(uint32_t a, uint32_t b, uint32_t c, uint32_t ta, uint32_t tb, uint32_t tc);
    void append(const Mesh& other, const Xform& place = Xform());
    void transform(const Xform& place);

    void bounds(Vec3& lo, Vec3& hi) const;
};

// Axis-aligned box of the given full size centred at the origin. Faces are
// mapped into rects in the order +x, -x, +y, -y, +z, -z; on each face the
// texture's right is the face's right and its top is up (for +y: up is -z,
// for -y: up is +z), as seen from outside.
Mesh makeBox(Vec3 size, const UvRect faces[6]);
Mesh makeBox(Vec3 size, UvRect all);

// Where each box face's texel lands in space: the face origin (texture
// corner u = 0, v = 0) and the world step per unit of u and of v.
struct BoxFaceFrame {
    Vec3 normal;
    Vec3 origin;
    Vec3 uAxis;
    Vec3 vAxis;
};
BoxFaceFrame boxFaceFrame(Vec3 size, int face);

// A surface of revolution about the y axis. The profile runs in the (r, y)
// half plane with the solid on its left, i.e. up the outside: for a closed
// can that is (0, y0), (r, y0), (r, y1), (0, y1). Sharp points get separate
// normals on either side. Texture u runs once around (from +x towards +z),
// v along the profile (by length unless a point gives its own v).
struct ProfilePoint {
    float r;
    float y;
    bool sharp = false;
    float v = -1.0f;
    ProfilePoint(float r_, float y_, bool sharp_ = false, float v_ = -1.0f) : r(r_), y(y_), sharp(sharp_), v(v_) {}
};
Mesh makeLathe(const std::vector<ProfilePoint>& profile, int slices, UvRect rect, bool closed = false);

Mesh makeSphere(float radius, int slices, int stacks, UvRect rect);
// A can standing on y = 0 with its axis along y: side, top and bottom.
Mesh makeCylinder(float radius, float height, int slices, UvRect side, UvRect top, UvRect bottom);
// Ring about the y axis through the origin.
Mesh makeTorus(float major, float minor, int slices, int sides, UvRect rect);

// A round tube of the given radius along a path (open ends).
Mesh makeTube(const std::vector<Vec3>& path, float radius, int sides, UvRect rect);

// A flat outline in the x-y plane (counter-clockwise, convex for the caps)
// extruded from z = z0 to z = z1. Caps are mapped into capRect by the outline's
// extent, the side wall into sideRect (u along the outline, v across the depth).
// smooth gives the wall one normal per outline point instead of per edge.
Mesh makePrism(const std::vector<Vec2>& outline, float z0, float z1, UvRect sideRect, UvRect capRect,
               bool smooth);

// Outlines for makePrism.
std::vector<Vec2> stadiumOutline(float halfLength, float radius, int arcSegments);
std::vector<Vec2> chamferedRect(float halfWidth, float y0, float y1, float chamfer);

} // namespace NSAssets
