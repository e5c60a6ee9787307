#include "assets/Skin.h"

#include <cmath>

namespace NSAssets {

namespace {

constexpr int BLEED = 2;   // texels painted beyond the rect
constexpr int SAMPLES = 2; // per axis and texel

} // namespace

void paintRect(Image& skin, UvRect rect, const std::function<Rgba(float, float)>& f) {
    const float x0 = rect.u0 * skin.width(), x1 = rect.u1 * skin.width();
    const float y0 = rect.v0 * skin.height(), y1 = rect.v1 * skin.height();
    const int px0 = static_cast<int>(std::floor(x0)) - BLEED, px1 = static_cast<int>(std::ceil(x1)) + BLEED;
    const int py0 = static_cast<int>(std::floor(y0)) - BLEED, py1 = static_cast<int>(std::ceil(y1)) + BLEED;
    const float inv = 1.0f / (SAMPLES * SAMPLES);
    for (int py = py0; py < py1; ++py) {
        if (py < 0 || py >= skin.height())
            continue;
        for (int px = px0; px < px1; ++px) {
            if (px < 0 || px >= skin.width())
                continue;
            Rgba sum(0, 0, 0, 0);
            for (int j = 0; j < SAMPLES; ++j)
                for (int i = 0; i < SAMPLES; ++i) {
                    float sx = px + (i + 0.5f) / SAMPLES, sy = py + (j + 0.5f) / SAMPLES;
                    float s = clamp01((sx - x0) / (x1 - x0)), t = clamp01((sy - y0) / (y1 - y0));
                    sum = sum + f(s, t);
                }
            skin.at(px, py) = sum * inv;
        }
    }
}

void paintSphere(Image& skin, UvRect rect, const std::function<Rgba(Vec3)>& f) {
    paintRect(skin, rect, [&](float s, float t) {
        float theta = 2.0f * PI * s, phi = 0.5f * PI - PI * t;
        return f(Vec3(std::cos(phi) * std::cos(theta), std::sin(phi), std::cos(phi) * std::sin(theta)));
    });
}

void paintBoxFace(Image& skin, UvRect rect, Vec3 size, int face, const std::function<Rgba(Vec3, Vec3)>& f) {
    BoxFaceFrame fr = boxFaceFrame(size, face);
    paintRect(skin, rect, [&](float s, float t) { return f(fr.origin + fr.uAxis * s + fr.vAxis * t, fr.normal); });
}

} // namespace NSAssets
