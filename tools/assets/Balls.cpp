// The three balls: UV spheres with procedurally painted skins.

#include <algorithm>
#include <cmath>

#include "assets/Noise.h"
#include "assets/Objects.h"
#include "assets/Skin.h"

namespace NSAssets {

namespace {

Model sphereModel(float radius, int slices, int stacks) {
    Model m;
    m.mesh = makeSphere(radius, slices, stacks, UvRect());
    m.skin = Image(SKIN_SIZE, SKIN_SIZE);
    m.addFrame("stand1", m.mesh);
    return m;
}

// Angle between two unit directions.
float angleBetween(Vec3 a, Vec3 b) { return std::acos(std::max(-1.0f, std::min(1.0f, dot(a, b)))); }

// 1 on a line of the given angular half width around distance 0, soft edges.
float lineMask(float distance, float halfWidth, float soft) {
    return 1.0f - smoothstep(halfWidth - soft, halfWidth + soft, std::fabs(distance));
}

} // namespace

Model buildBasketball() {
    Model m = sphereModel(11.5f, 32, 20);
    const Rgba leather = rgb255(222, 104, 30);
    const Rgba seam = rgb255(34, 20, 14);
    paintSphere(m.skin, UvRect(), [&](Vec3 d) {
        // Two great circles through the poles of the x axis and two bent
        // rings around those poles, as on a real ball.
        float seamDist = std::min(std::fabs(std::asin(d.z)), std::fabs(std::asin(d.y)));
        Vec3 pole = d.x >= 0.0f ? Vec3(1, 0, 0) : Vec3(-1, 0, 0);
        float psi = std::atan2(d.z, d.y);
        float ring = 0.95f + 0.32f * std::cos(2.0f * psi);
        seamDist = std::min(seamDist, std::fabs(angleBetween(d, pole) - ring));
        float pebble = valueNoise(d * 70.0f, 11);
        float mottle = fractalNoise(d * 4.0f, 3, 12);
        Rgba base = shade(leather, 0.86f + 0.12f * pebble + 0.1f * (mottle - 0.5f));
        return mixRgb(base, seam, lineMask(seamDist, 0.026f, 0.008f));
    });
    return m;
}

Model buildBowlingball() {
    Model m = sphereModel(10.0f, 32, 20);
    const Rgba deep = rgb255(14, 14, 34);
    const Rgba swirl = rgb255(62, 28, 96);
    // Two finger holes above the thumb hole, facing +z.
    const Vec3 holes[3] = {normalized(Vec3(-0.17f, 0.22f, 1.0f)), normalized(Vec3(0.17f, 0.22f, 1.0f)),
                           normalized(Vec3(0.0f, -0.24f, 1.0f))};
    const float holeRadius[3] = {0.1f, 0.1f, 0.115f};
    paintSphere(m.skin, UvRect(), [&](Vec3 d) {
        Vec3 warp(fractalNoise(d * 2.0f, 3, 21), fractalNoise(d * 2.0f, 3, 22), fractalNoise(d * 2.0f, 3, 23));
        float n = fractalNoise(d * 2.5f + warp * 3.0f, 4, 24);
        float vein = std::pow(std::fabs(std::sin(n * 18.0f)), 6.0f);
        Rgba c = mixRgb(deep, swirl, 0.25f * n + 0.55f * vein);
        for (int i = 0; i < 3; ++i) {
            float a = angleBetween(d, holes[i]);
            float rim = lineMask(a - holeRadius[i], 0.012f, 0.005f);
            float inside = 1.0f - smoothstep(holeRadius[i] - 0.006f, holeRadius[i] + 0.002f, a);
            // Deeper in the hole it gets darker.
            Rgba hole = shade(rgb255(40, 36, 48), 0.15f + 0.85f * smoothstep(0.0f, holeRadius[i], a));
            c = mixRgb(c, hole, inside);
            c = mixRgb(c, rgb255(120, 116, 132), rim * 0.8f);
        }
        return c;
    });
    return m;
}

Model buildTennisball() {
    Model m = sphereModel(3.3f, 24, 16);
    const Rgba felt = rgb255(190, 224, 50);
    const Rgba seam = rgb255(246, 246, 236);
    // The seam: a closed curve on the unit sphere made of two loops.
    const float a = 0.68f, b = 0.32f;
    auto seamPoint = [&](float t) {
        return Vec3(a * std::cos(t) + b * std::cos(3 * t), 2.0f * std::sqrt(a * b) * std::sin(2 * t),
                    a * std::sin(t) - b * std::sin(3 * t));
    };
    // Sampled finely; each texel searches every 16th sample, then the stretch around the best.
    const int step = 16, samples = 96 * step;
    std::vector<Vec3> curve;
    for (int i = 0; i < samples; ++i)
        curve.push_back(seamPoint(2.0f * PI * i / samples));
    paintSphere(m.skin, UvRect(), [&](Vec3 d) {
        int bestIndex = 0;
        float best = 1e9f;
        for (int i = 0; i < samples; i += step) {
            float dist = length(d - curve[i]);
            if (dist < best) {
                best = dist;
                bestIndex = i;
            }
        }
        for (int k = -step; k <= step; ++k)
            best = std::min(best, length(d - curve[(bestIndex + k + samples) % samples]));
        float fuzz = valueNoise(d * 90.0f, 31) * 0.6f + valueNoise(d * 23.0f, 32) * 0.4f;
        Rgba c = shade(felt, 0.88f + 0.16f * fuzz);
        float groove = lineMask(best, 0.068f, 0.01f);
        float line = lineMask(best, 0.05f, 0.01f);
        c = mixRgb(c, shade(felt, 0.7f), groove);
        return mixRgb(c, shade(seam, 0.94f + 0.06f * fuzz), line);
    });
    return m;
}

} // namespace NSAssets
