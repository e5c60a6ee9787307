#include "assets/Canvas.h"

#include <algorithm>
#include <cmath>

namespace NSAssets {

Canvas::Canvas(int width, int height, int supersample)
    : w(width * supersample), h(height * supersample), ss(supersample), img(w, h, Rgba(0, 0, 0, 0)) {}

template <typename Inside>
void Canvas::fillWhere(float x0, float y0, float x1, float y1, Inside inside, const Shader& shader) {
    int px0 = std::max(0, static_cast<int>(std::floor(x0 * w))), px1 = std::min(w - 1, static_cast<int>(std::ceil(x1 * w)));
    int py0 = std::max(0, static_cast<int>(std::floor(y0 * h))), py1 = std::min(h - 1, static_cast<int>(std::ceil(y1 * h)));
    for (int y = py0; y <= py1; ++y)
        for (int x = px0; x <= px1; ++x) {
            Vec2 p((x + 0.5f) / w, (y + 0.5f) / h);
            if (!inside(p))
                continue;
            Rgba s = shader(p);
            Rgba& d = img.at(x, y);
            float a = s.a + d.a * (1.0f - s.a);
            if (a <= 0.0f)
                continue;
            d = Rgba((s.r * s.a + d.r * d.a * (1.0f - s.a)) / a, (s.g * s.a + d.g * d.a * (1.0f - s.a)) / a,
                     (s.b * s.a + d.b * d.a * (1.0f - s.a)) / a, a);
        }
}

void Canvas::fillPolygon(const std::vector<Vec2>& pts, const Shader& shader) {
    if (pts.size() < 3)
        return;
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (const Vec2& p : pts) {
        x0 = std::min(x0, p.x);
        y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x);
        y1 = std::max(y1, p.y);
    }
    // Non-zero winding, so overlapping parts of one outline stay filled.
    auto inside = [&](Vec2 p) {
        int winding = 0;
        for (size_t i = 0; i < pts.size(); ++i) {
            Vec2 a = pts[i], b = pts[(i + 1) % pts.size()];
            float cr = (b.x - a.x) * (p.y - a.y) - (p.x - a.x) * (b.y - a.y);
            if (a.y <= p.y) {
                if (b.y > p.y && cr > 0)
                    ++winding;
            } else if (b.y <= p.y && cr < 0) {
                --winding;
            }
        }
        return winding != 0;
    };
    fillWhere(x0, y0, x1, y1, inside, shader);
}

void Canvas::fillPolygon(const std::vector<Vec2>& pts, Rgba c) {
    fillPolygon(pts, [c](Vec2) { return c; });
}

void Canvas::fillCircle(Vec2 centre, float radius, const Shader& shader) {
    // Radii are in units of the width; the canvas may be wider than high.
    float aspect = static_cast<float>(w) / h;
    auto inside = [&](Vec2 p) {
        Vec2 d(p.x - centre.x, (p.y - centre.y) / aspect);
        return dot(d, d) <= radius * radius;
    };
    fillWhere(centre.x - radius, centre.y - radius * aspect, centre.x + radius, centre.y + radius * aspect, inside,
              shader);
}

void Canvas::fillCircle(Vec2 centre, float radius, Rgba c) {
    fillCircle(centre, radius, [c](Vec2) { return c; });
}

void Canvas::line(Vec2 a, Vec2 b, float width, Rgba c) {
    polyline({a, b}, width, c);
}

void Canvas::polyline(const std::vector<Vec2>& pts, float width, Rgba c, bool closed) {
    // The whole stroke is one shape (distance to the path), so a translucent
    // stroke does not darken where its pieces meet.
    if (pts.size() < 2)
        return;
    float hw = width * 0.5f;
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (const Vec2& p : pts) {
        x0 = std::min(x0, p.x - hw);
        y0 = std::min(y0, p.y - hw);
        x1 = std::max(x1, p.x + hw);
        y1 = std::max(y1, p.y + hw);
    }
    size_t segs = closed ? pts.size() : pts.size() - 1;
    auto inside = [&](Vec2 p) {
        for (size_t i = 0; i < segs; ++i) {
            Vec2 a = pts[i], b = pts[(i + 1) % pts.size()];
            Vec2 ab = b - a;
            float len2 = dot(ab, ab);
            float t = len2 > 0.0f ? clamp01(dot(p - a, ab) / len2) : 0.0f;
            Vec2 d = p - (a + ab * t);
            if (dot(d, d) <= hw * hw)
                return true;
        }
        return false;
    };
    fillWhere(x0, y0, x1, y1, inside, [c](Vec2) { return c; });
}

void Canvas::arrow(Vec2 from, Vec2 to, float width, float headSize, Rgba c) {
    Vec2 d = to - from;
    float len = length(d);
    Vec2 dir = d * (1.0f / len);
    Vec2 side(-dir.y, dir.x);
    Vec2 base = to - dir * headSize;
    line(from, base + dir * (headSize * 0.2f), width, c);
    fillPolygon({to, base + side * (headSize * 0.62f), base - side * (headSize * 0.62f)}, c);
}

Image Canvas::result() const { return img.downsample(ss); }

std::vector<Vec2> arcPoints(Vec2 centre, float radius, float from, float to, int segments) {
    std::vector<Vec2> out;
    for (int i = 0; i <= segments; ++i) {
        float a = from + (to - from) * i / segments;
        out.emplace_back(centre.x + radius * std::cos(a), centre.y + radius * std::sin(a));
    }
    return out;
}

} // namespace NSAssets
