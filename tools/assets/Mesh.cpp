#include "assets/Mesh.h"

#include <algorithm>
#include <cmath>

namespace NSAssets {

uint32_t Mesh::addVertex(Vec3 p, Vec3 n) {
    positions.push_back(p);
    normals.push_back(normalized(n));
    return static_cast<uint32_t>(positions.size() - 1);
}

uint32_t Mesh::addUv(Vec2 uv) {
    uvs.push_back(uv);
    return static_cast<uint32_t>(uvs.size() - 1);
}

void Mesh::addFacing(uint32_t a, uint32_t b, uint32_t c, uint32_t ta, uint32_t tb, uint32_t tc) {
    Vec3 g = cross(positions[b] - positions[a], positions[c] - positions[a]);
    if (length(g) < 1e-9f)
        return;
    Vec3 n = normals[a] + normals[b] + normals[c];
    if (dot(g, n) < 0.0f) {
        std::swap(b, c);
        std::swap(tb, tc);
    }
    triangles.push_back(Triangle{{a, b, c}, {ta, tb, tc}});
}

void Mesh::append(const Mesh& other, const Xform& place) {
    uint32_t vBase = static_cast<uint32_t>(positions.size());
    uint32_t tBase = static_cast<uint32_t>(uvs.size());
    for (size_t i = 0; i < other.positions.size(); ++i) {
        positions.push_back(place.point(other.positions[i]));
        normals.push_back(place.dir(other.normals[i]));
    }
    uvs.insert(uvs.end(), other.uvs.begin(), other.uvs.end());
    for (const Triangle& t : other.triangles)
        triangles.push_back(Triangle{{t.v[0] + vBase, t.v[1] + vBase, t.v[2] + vBase},
                                     {t.uv[0] + tBase, t.uv[1] + tBase, t.uv[2] + tBase}});
}

void Mesh::transform(const Xform& place) {
    for (size_t i = 0; i < positions.size(); ++i) {
        positions[i] = place.point(positions[i]);
        normals[i] = place.dir(normals[i]);
    }
}

void Mesh::bounds(Vec3& lo, Vec3& hi) const {
    lo = hi = positions.empty() ? Vec3() : positions[0];
    for (const Vec3& p : positions)
        for (int i = 0; i < 3; ++i) {
            lo[i] = std::min(lo[i], p[i]);
            hi[i] = std::max(hi[i], p[i]);
        }
}

BoxFaceFrame boxFaceFrame(Vec3 size, int face) {
    Vec3 h = size * 0.5f;
    switch (face) {
    case 0: return {Vec3(1, 0, 0), Vec3(h.x, h.y, h.z), Vec3(0, 0, -size.z), Vec3(0, -size.y, 0)};
    case 1: return {Vec3(-1, 0, 0), Vec3(-h.x, h.y, -h.z), Vec3(0, 0, size.z), Vec3(0, -size.y, 0)};
    case 2: return {Vec3(0, 1, 0), Vec3(-h.x, h.y, -h.z), Vec3(size.x, 0, 0), Vec3(0, 0, size.z)};
    case 3: return {Vec3(0, -1, 0), Vec3(-h.x, -h.y, h.z), Vec3(size.x, 0, 0), Vec3(0, 0, -size.z)};
    case 4: return {Vec3(0, 0, 1), Vec3(-h.x, h.y, h.z), Vec3(size.x, 0, 0), Vec3(0, -size.y, 0)};
    default: return {Vec3(0, 0, -1), Vec3(h.x, h.y, -h.z), Vec3(-size.x, 0, 0), Vec3(0, -size.y, 0)};
    }
}

Mesh makeBox(Vec3 size, const UvRect faces[6]) {
    Mesh m;
    static const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    for (int f = 0; f < 6; ++f) {
        BoxFaceFrame fr = boxFaceFrame(size, f);
        uint32_t v[4], t[4];
        for (int k = 0; k < 4; ++k) {
            float s = corners[k][0], u = corners[k][1];
            v[k] = m.addVertex(fr.origin + fr.uAxis * s + fr.vAxis * u, fr.normal);
            t[k] = m.addUv(faces[f].at(s, u));
        }
        m.addFacing(v[0], v[1], v[2], t[0], t[1], t[2]);
        m.addFacing(v[0], v[2], v[3], t[0], t[2], t[3]);
    }
    return m;
}

Mesh makeBox(Vec3 size, UvRect all) {
    UvRect faces[6] = {all, all, all, all, all, all};
    return makeBox(size, faces);
}

Mesh makeLathe(const std::vector<ProfilePoint>& profile, int slices, UvRect rect, bool closed) {
    Mesh m;
    const size_t n = profile.size();
    const size_t segments = closed ? n : n - 1;

    // Outward normal of each profile segment in the (r, y) plane.
    std::vector<Vec2> segNormal(segments);
    std::vector<float> along(n + 1, 0.0f);
    for (size_t k = 0; k < segments; ++k) {
        const ProfilePoint& a = profile[k];
        const ProfilePoint& b = profile[(k + 1) % n];
        Vec2 d(b.r - a.r, b.y - a.y);
        float len = length(d);
        segNormal[k] = len > 0.0f ? Vec2(d.y / len, -d.x / len) : Vec2(1, 0);
        along[k + 1] = along[k] + len;
    }
    const float total = along[segments] > 0.0f ? along[segments] : 1.0f;

    // Texture rows: one per profile point (plus the closing copy of the first).
    const size_t rows = closed ? n + 1 : n;
    std::vector<uint32_t> uvRow(rows);
    for (size_t i = 0; i < rows; ++i) {
        const ProfilePoint& p = profile[i % n];
        float v = (p.v >= 0.0f && i < n) ? p.v : along[i] / total;
        if (closed && i == n)
            v = 1.0f;
        uvRow[i] = static_cast<uint32_t>(m.uvs.size());
        for (int j = 0; j <= slices; ++j)
            m.addUv(rect.at(static_cast<float>(j) / slices, v));
    }

    auto ring = [&](const ProfilePoint& p, Vec2 nrm) {
        uint32_t first = static_cast<uint32_t>(m.positions.size());
        bool pole = p.r <= 1e-6f && std::fabs(nrm.x) < 1e-4f;
        for (int j = 0; j < slices; ++j) {
            if (pole && j > 0)
                break;
            float th = 2.0f * PI * j / slices;
            float c = std::cos(th), s = std::sin(th);
            m.addVertex(Vec3(p.r * c, p.y, p.r * s), Vec3(nrm.x * c, nrm.y, nrm.x * s));
        }
        return std::make_pair(first, pole);
    };

    // For every point: the ring that ends the segment before it and the ring
    // that starts the segment after it (the same ring where the profile is smooth).
    struct Rings {
        uint32_t in = 0, out = 0;
        bool inPole = false, outPole = false;
    };
    std::vector<Rings> rings(n);
    for (size_t i = 0; i < n; ++i) {
        bool hasBefore = closed || i > 0;
        bool hasAfter = closed || i + 1 < n;
        Vec2 before = hasBefore ? segNormal[(i + segments - 1) % segments] : Vec2();
        Vec2 after = hasAfter ? segNormal[i % segments] : Vec2();
        const ProfilePoint& p = profile[i];
        // A smooth profile ending on the axis closes in a pole facing along it.
        if (!closed && !p.sharp && p.r <= 1e-6f) {
            before = Vec2(0, before.y < 0 ? -1.0f : 1.0f);
            after = Vec2(0, after.y < 0 ? -1.0f : 1.0f);
        }
        if (hasBefore && hasAfter && !p.sharp) {
            Vec2 avg = before + after;
            float l = length(avg);
            avg = l > 0.0f ? avg * (1.0f / l) : after;
            auto r = ring(p, avg);
            rings[i] = {r.first, r.first, r.second, r.second};
        } else {
            if (hasBefore) {
                auto r = ring(p, before);
                rings[i].in = r.first;
                rings[i].inPole = r.second;
            }
            if (hasAfter) {
                auto r = ring(p, after);
                rings[i].out = r.first;
                rings[i].outPole = r.second;
            }
        }
    }

    for (size_t k = 0; k < segments; ++k) {
        size_t a = k, b = (k + 1) % n;
        uint32_t ra = rings[a].out, rb = rings[b].in;
        bool pa = rings[a].outPole, pb = rings[b].inPole;
        uint32_t ta = uvRow[k], tb = uvRow[k + 1];
        for (int j = 0; j < slices; ++j) {
            int j1 = (j + 1) % slices;
            uint32_t a0 = pa ? ra : ra + j, a1 = pa ? ra : ra + j1;
            uint32_t b0 = pb ? rb : rb + j, b1 = pb ? rb : rb + j1;
            m.addFacing(a0, b0, b1, ta + j, tb + j, tb + j + 1);
            m.addFacing(a0, b1, a1, ta + j, tb + j + 1, ta + j + 1);
        }
    }
    return m;
}

Mesh makeSphere(float radius, int slices, int stacks, UvRect rect) {
    std::vector<ProfilePoint> p;
    for (int i = 0; i <= stacks; ++i) {
        float phi = -0.5f * PI + PI * i / stacks;
        float r = i == 0 || i == stacks ? 0.0f : radius * std::cos(phi);
        float y = i == 0 ? -radius : (i == stacks ? radius : radius * std::sin(phi));
        p.emplace_back(r, y, false, 1.0f - static_cast<float>(i) / stacks);
    }
    return makeLathe(p, slices, rect);
}

Mesh makeCylinder(float radius, float height, int slices, UvRect side, UvRect top, UvRect bottom) {
    Mesh m = makeLathe({{radius, 0.0f, true, 1.0f}, {radius, height, true, 0.0f}}, slices, side);
    // Caps: a fan mapped as a disc into its rect.
    for (int capIndex = 0; capIndex < 2; ++capIndex) {
        float y = capIndex == 0 ? height : 0.0f;
        Vec3 n(0, capIndex == 0 ? 1.0f : -1.0f, 0);
        const UvRect& rect = capIndex == 0 ? top : bottom;
        uint32_t centre = m.addVertex(Vec3(0, y, 0), n);
        uint32_t tc = m.addUv(rect.at(0.5f, 0.5f));
        uint32_t first = static_cast<uint32_t>(m.positions.size());
        uint32_t firstUv = static_cast<uint32_t>(m.uvs.size());
        for (int j = 0; j < slices; ++j) {
            float th = 2.0f * PI * j / slices;
            float c = std::cos(th), s = std::sin(th);
            m.addVertex(Vec3(radius * c, y, radius * s), n);
            m.addUv(rect.at(0.5f + 0.5f * c, 0.5f + 0.5f * s));
        }
        for (int j = 0; j < slices; ++j) {
            int j1 = (j + 1) % slices;
            m.addFacing(centre, first + j, first + j1, tc, firstUv + j, firstUv + j1);
        }
    }
    return m;
}

Mesh makeTorus(float major, float minor, int slices, int sides, UvRect rect) {
    std::vector<ProfilePoint> p;
    for (int i = 0; i < sides; ++i) {
        float phi = -0.5f * PI + 2.0f * PI * i / sides;
        p.emplace_back(major + minor * std::cos(phi), minor * std::sin(phi), false,
                       static_cast<float>(i) / sides);
    }
    return makeLathe(p, slices, rect, true);
}

Mesh makeTube(const std::vector<Vec3>& path, float radius, int sides, UvRect rect) {
    Mesh m;
    const size_t n = path.size();
    std::vector<float> along(n, 0.0f);
    for (size_t i = 1; i < n; ++i)
        along[i] = along[i - 1] + length(path[i] - path[i - 1]);
    float total = along[n - 1] > 0.0f ? along[n - 1] : 1.0f;

    Vec3 prevNormal;
    std::vector<uint32_t> ringStart(n), uvStart(n);
    for (size_t i = 0; i < n; ++i) {
        Vec3 t = normalized(path[std::min(i + 1, n - 1)] - path[i > 0 ? i - 1 : 0]);
        Vec3 nrm;
        if (i == 0) {
            Vec3 ref = std::fabs(t.y) < 0.9f ? Vec3(0, 1, 0) : Vec3(1, 0, 0);
            nrm = normalized(cross(cross(t, ref), t));
        } else {
            nrm = normalized(prevNormal - t * dot(prevNormal, t));
        }
        prevNormal = nrm;
        Vec3 bin = cross(t, nrm);
        ringStart[i] = static_cast<uint32_t>(m.positions.size());
        for (int j = 0; j < sides; ++j) {
            float a = 2.0f * PI * j / sides;
            Vec3 d = nrm * std::cos(a) + bin * std::sin(a);
            m.addVertex(path[i] + d * radius, d);
        }
        uvStart[i] = static_cast<uint32_t>(m.uvs.size());
        for (int j = 0; j <= sides; ++j)
            m.addUv(rect.at(static_cast<float>(j) / sides, along[i] / total));
    }
    for (size_t i = 0; i + 1 < n; ++i)
        for (int j = 0; j < sides; ++j) {
            int j1 = (j + 1) % sides;
            uint32_t a0 = ringStart[i] + j, a1 = ringStart[i] + j1;
            uint32_t b0 = ringStart[i + 1] + j, b1 = ringStart[i + 1] + j1;
            uint32_t ta = uvStart[i] + j, tb = uvStart[i + 1] + j;
            m.addFacing(a0, b0, b1, ta, tb, tb + 1);
            m.addFacing(a0, b1, a1, ta, tb + 1, ta + 1);
        }
    return m;
}

Mesh makePrism(const std::vector<Vec2>& outline, float z0, float z1, UvRect sideRect, UvRect capRect,
               bool smooth) {
    Mesh m;
    const size_t n = outline.size();
    std::vector<Vec3> edgeNormal(n);
    std::vector<float> along(n + 1, 0.0f);
    for (size_t i = 0; i < n; ++i) {
        Vec2 d = outline[(i + 1) % n] - outline[i];
        float l = length(d);
        edgeNormal[i] = l > 0.0f ? Vec3(d.y / l, -d.x / l, 0) : Vec3(1, 0, 0);
        along[i + 1] = along[i] + l;
    }
    const float perimeter = along[n];
    auto sideUv = [&](size_t i, bool front) {
        return m.addUv(sideRect.at(along[i] / perimeter, front ? 0.0f : 1.0f));
    };

    if (smooth) {
        std::vector<uint32_t> front(n), back(n);
        for (size_t i = 0; i < n; ++i) {
            Vec3 nrm = normalized(edgeNormal[i] + edgeNormal[(i + n - 1) % n]);
            front[i] = m.addVertex(Vec3(outline[i].x, outline[i].y, z1), nrm);
            back[i] = m.addVertex(Vec3(outline[i].x, outline[i].y, z0), nrm);
        }
        for (size_t i = 0; i < n; ++i) {
            size_t k = (i + 1) % n;
            uint32_t ta = sideUv(i, true), tb = sideUv(i, false);
            uint32_t tc = m.addUv(sideRect.at(along[i + 1] / perimeter, 0.0f));
            uint32_t td = m.addUv(sideRect.at(along[i + 1] / perimeter, 1.0f));
            m.addFacing(front[i], back[i], back[k], ta, tb, td);
            m.addFacing(front[i], back[k], front[k], ta, td, tc);
        }
    } else {
        for (size_t i = 0; i < n; ++i) {
            size_t k = (i + 1) % n;
            Vec3 nrm = edgeNormal[i];
            uint32_t a = m.addVertex(Vec3(outline[i].x, outline[i].y, z1), nrm);
            uint32_t b = m.addVertex(Vec3(outline[i].x, outline[i].y, z0), nrm);
            uint32_t c = m.addVertex(Vec3(outline[k].x, outline[k].y, z1), nrm);
            uint32_t d = m.addVertex(Vec3(outline[k].x, outline[k].y, z0), nrm);
            uint32_t ta = sideUv(i, true), tb = sideUv(i, false);
            uint32_t tc = m.addUv(sideRect.at(along[i + 1] / perimeter, 0.0f));
            uint32_t td = m.addUv(sideRect.at(along[i + 1] / perimeter, 1.0f));
            m.addFacing(a, b, d, ta, tb, td);
            m.addFacing(a, d, c, ta, td, tc);
        }
    }

    Vec2 lo = outline[0], hi = outline[0];
    for (const Vec2& p : outline) {
        lo = Vec2(std::min(lo.x, p.x), std::min(lo.y, p.y));
        hi = Vec2(std::max(hi.x, p.x), std::max(hi.y, p.y));
    }
    for (int capIndex = 0; capIndex < 2; ++capIndex) {
        float z = capIndex == 0 ? z1 : z0;
        Vec3 nrm(0, 0, capIndex == 0 ? 1.0f : -1.0f);
        std::vector<uint32_t> v(n), t(n);
        for (size_t i = 0; i < n; ++i) {
            v[i] = m.addVertex(Vec3(outline[i].x, outline[i].y, z), nrm);
            t[i] = m.addUv(capRect.at((outline[i].x - lo.x) / (hi.x - lo.x), (hi.y - outline[i].y) / (hi.y - lo.y)));
        }
        for (size_t i = 1; i + 1 < n; ++i)
            m.addFacing(v[0], v[i], v[i + 1], t[0], t[i], t[i + 1]);
    }
    return m;
}

std::vector<Vec2> stadiumOutline(float halfLength, float radius, int arcSegments) {
    std::vector<Vec2> out;
    // Counter-clockwise: right end from bottom to top, then the left end.
    for (int i = 0; i <= arcSegments; ++i) {
        float a = -0.5f * PI + PI * i / arcSegments;
        out.emplace_back(halfLength + radius * std::cos(a), radius * std::sin(a));
    }
    for (int i = 0; i <= arcSegments; ++i) {
        float a = 0.5f * PI + PI * i / arcSegments;
        out.emplace_back(-halfLength + radius * std::cos(a), radius * std::sin(a));
    }
    return out;
}

std::vector<Vec2> chamferedRect(float halfWidth, float y0, float y1, float chamfer) {
    return {Vec2(-halfWidth, y0), Vec2(halfWidth, y0), Vec2(halfWidth, y1 - chamfer),
            Vec2(halfWidth - chamfer, y1), Vec2(-halfWidth + chamfer, y1), Vec2(-halfWidth, y1 - chamfer)};
}

} // namespace NSAssets
