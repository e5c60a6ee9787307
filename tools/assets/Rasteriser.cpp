#include "assets/Rasteriser.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace NSAssets {

Rasteriser::Rasteriser(int width, int height, int supersample)
    : w(width * supersample), h(height * supersample), ss(supersample), colour(w, h, Rgba(0, 0, 0, 0)),
      depth(static_cast<size_t>(w) * h, std::numeric_limits<float>::infinity()) {
    look(Vec3(0, 0, 1), Vec3(0, 0, 0));
}

void Rasteriser::look(Vec3 from, Vec3 target) {
    eye = from;
    forward = normalized(target - from);
    Vec3 worldUp = std::fabs(forward.y) > 0.99f ? Vec3(0, 0, -1) : Vec3(0, 1, 0);
    right = normalized(cross(forward, worldUp));
    up = cross(right, forward);
}

Vec3 Rasteriser::toView(Vec3 p) const {
    Vec3 d = p - eye;
    float z = dot(d, forward);
    return Vec3(dot(d, right) / z, dot(d, up) / z, z);
}

void Rasteriser::frame(const std::vector<Vec3>& points, float margin) {
    float x0 = 1e30f, x1 = -1e30f, y0 = 1e30f, y1 = -1e30f;
    for (const Vec3& p : points) {
        Vec3 v = toView(p);
        x0 = std::min(x0, v.x);
        x1 = std::max(x1, v.x);
        y0 = std::min(y0, v.y);
        y1 = std::max(y1, v.y);
    }
    float usable = 1.0f - 2.0f * margin;
    scale = std::min(w * usable / std::max(x1 - x0, 1e-6f), h * usable / std::max(y1 - y0, 1e-6f));
    offsetX = w * 0.5f - scale * (x0 + x1) * 0.5f;
    offsetY = h * 0.5f + scale * (y0 + y1) * 0.5f;
}

void Rasteriser::draw(const Mesh& mesh, const Surface& surface, const Xform& place) {
    const Vec3 keyLight = normalized(right * -0.55f + up * 0.85f - forward * 0.6f);
    const Vec3 fillLight = normalized(right * 0.8f + up * 0.1f - forward * 0.4f);

    struct Corner {
        float sx, sy, invZ;
        Vec3 world, normal;
        Vec2 uv;
    };
    for (const Triangle& t : mesh.triangles) {
        Corner c[3];
        bool behind = false;
        for (int k = 0; k < 3; ++k) {
            Vec3 p = place.point(mesh.positions[t.v[k]]);
            Vec3 v = toView(p);
            if (v.z <= 0.01f)
                behind = true;
            c[k] = Corner{offsetX + v.x * scale, offsetY - v.y * scale, 1.0f / v.z, p,
                          place.dir(mesh.normals[t.v[k]]), mesh.uvs[t.uv[k]]};
        }
        if (behind)
            continue;
        float area = (c[1].sx - c[0].sx) * (c[2].sy - c[0].sy) - (c[2].sx - c[0].sx) * (c[1].sy - c[0].sy);
        if (std::fabs(area) < 1e-8f)
            continue;
        int xMin = std::max(0, static_cast<int>(std::floor(std::min({c[0].sx, c[1].sx, c[2].sx}))));
        int xMax = std::min(w - 1, static_cast<int>(std::ceil(std::max({c[0].sx, c[1].sx, c[2].sx}))));
        int yMin = std::max(0, static_cast<int>(std::floor(std::min({c[0].sy, c[1].sy, c[2].sy}))));
        int yMax = std::min(h - 1, static_cast<int>(std::ceil(std::max({c[0].sy, c[1].sy, c[2].sy}))));
        for (int y = yMin; y <= yMax; ++y)
            for (int x = xMin; x <= xMax; ++x) {
                float px = x + 0.5f, py = y + 0.5f;
                float l[3];
                for (int k = 0; k < 3; ++k) {
                    const Corner& a = c[(k + 1) % 3];
                    const Corner& b = c[(k + 2) % 3];
                    l[k] = ((b.sx - a.sx) * (py - a.sy) - (px - a.sx) * (b.sy - a.sy)) / area;
                }
                if (l[0] < 0.0f || l[1] < 0.0f || l[2] < 0.0f)
                    continue;
                float invZ = l[0] * c[0].invZ + l[1] * c[1].invZ + l[2] * c[2].invZ;
                float z = 1.0f / invZ;
                float& stored = depth[static_cast<size_t>(y) * w + x];
                if (z >= stored)
                    continue;
                stored = z;
                float wgt[3];
                for (int k = 0; k < 3; ++k)
                    wgt[k] = l[k] * c[k].invZ * z;
                Vec3 pos = c[0].world * wgt[0] + c[1].world * wgt[1] + c[2].world * wgt[2];
                Vec3 n = normalized(c[0].normal * wgt[0] + c[1].normal * wgt[1] + c[2].normal * wgt[2]);
                Vec3 toEye = normalized(eye - pos);
                if (dot(n, toEye) < 0.0f)
                    n = -n;
                Rgba base = surface.colour;
                if (surface.skin) {
                    Vec2 uv = c[0].uv * wgt[0] + c[1].uv * wgt[1] + c[2].uv * wgt[2];
                    base = surface.skin->sample(uv.x, uv.y);
                }
                float light = 0.32f + 0.72f * std::max(0.0f, dot(n, keyLight)) +
                              0.25f * std::max(0.0f, dot(n, fillLight));
                float highlight = 0.0f;
                if (surface.specular > 0.0f) {
                    Vec3 half = normalized(keyLight + toEye);
                    highlight = surface.specular * std::pow(std::max(0.0f, dot(n, half)), surface.shininess);
                }
                colour.at(x, y) = Rgba(base.r * light + highlight, base.g * light + highlight, base.b * light + highlight, 1.0f);
            }
    }
}

Image Rasteriser::result() const { return colour.downsample(ss); }

std::vector<Vec3> placedPoints(const Mesh& mesh, const Xform& place) {
    std::vector<Vec3> out;
    out.reserve(mesh.positions.size());
    for (const Vec3& p : mesh.positions)
        out.push_back(place.point(p));
    return out;
}

} // namespace NSAssets
