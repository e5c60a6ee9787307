#include "assets/Materials.h"

#include <algorithm>
#include <cmath>

#include "assets/Noise.h"

namespace NSAssets {

Rgba woodAt(Vec3 p, float plankWidth, float boardWidth, uint32_t seed) {
    float across = p.x + boardWidth * 0.5f;
    int plank = static_cast<int>(std::floor(across / plankWidth));
    float inPlank = across - plank * plankWidth;
    float tone = hash01(plank, 0, 0, seed);
    // Each plank was cut from its own log, whose heart lies below and beside it.
    float heartX = (hash01(plank, 1, 0, seed) - 0.5f) * plankWidth * 1.6f + plankWidth * 0.5f;
    float heartY = -6.0f - 8.0f * hash01(plank, 2, 0, seed);
    float wobble = fractalNoise(Vec3(p.x * 0.4f, p.y * 0.4f, p.z * 0.035f + plank * 7.0f), 3, seed + 5) * 2.4f;
    float ring = std::sqrt((inPlank - heartX) * (inPlank - heartX) + (p.y - heartY) * (p.y - heartY)) + wobble;
    float grain = 0.5f + 0.5f * std::sin(ring * 4.2f);
    grain = std::pow(grain, 3.0f);
    float fibre = valueNoise(Vec3(p.x * 6.0f, p.y * 6.0f, p.z * 0.3f), seed + 9);
    Rgba light = mixRgb(rgb255(214, 168, 112), rgb255(196, 146, 92), tone);
    Rgba dark = mixRgb(rgb255(150, 98, 52), rgb255(128, 80, 40), tone);
    Rgba c = mixRgb(light, dark, 0.75f * grain + 0.15f * fibre);
    // The gaps between planks.
    float gap = std::min(inPlank, plankWidth - inPlank);
    float seamDark = 1.0f - smoothstep(0.05f, 0.2f, gap);
    if (across > 0.15f && across < boardWidth - 0.15f)
        c = mixRgb(c, rgb255(70, 42, 20), seamDark * 0.85f);
    return c;
}

Rgba paintAt(Vec3 p, Rgba base, uint32_t seed) {
    float n = fractalNoise(p * 0.8f, 3, seed);
    return shade(base, 0.94f + 0.1f * n);
}

Rgba metalAt(Vec3 p, Rgba base, Vec3 grain, uint32_t seed) {
    Vec3 g = normalized(grain);
    // Stretch the noise along the grain so it reads as brushing.
    Vec3 q = p * 6.0f - g * (dot(p, g) * 5.7f);
    float n = valueNoise(q, seed) * 0.6f + valueNoise(q * 2.7f, seed + 1) * 0.4f;
    return shade(base, 0.9f + 0.18f * n);
}

Rgba rubberAt(Vec3 p, uint32_t seed) {
    float n = valueNoise(p * 9.0f, seed) * 0.5f + fractalNoise(p * 1.3f, 3, seed + 3) * 0.5f;
    return shade(rgb255(46, 46, 50), 0.85f + 0.3f * n);
}

Vec3 aroundAxis(float s, float t, float circumference, float height) {
    float r = circumference / (2.0f * PI);
    return Vec3(r * std::cos(2.0f * PI * s), r * std::sin(2.0f * PI * s), t * height);
}

float edgeShade(float s, float t, float width) {
    float d = std::min(std::min(s, 1.0f - s), std::min(t, 1.0f - t));
    return 1.0f - smoothstep(0.0f, width, d);
}

} // namespace NSAssets
