#pragma once
// A float RGBA picture, row 0 at the top. Painting, rendering and the icon
// canvas all work on it; it becomes bytes only when a BMP file is encoded.

#include <cstddef>
#include <vector>

namespace NSAssets {

struct Rgba {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
    float a = 1.0f;
    constexpr Rgba() = default;
    constexpr Rgba(float r_, float g_, float b_, float a_ = 1.0f) : r(r_), g(g_), b(b_), a(a_) {}
};

inline Rgba operator+(Rgba p, Rgba q) { return Rgba(p.r + q.r, p.g + q.g, p.b + q.b, p.a + q.a); }
inline Rgba operator*(Rgba p, float s) { return Rgba(p.r * s, p.g * s, p.b * s, p.a * s); }
// Colour times a factor, alpha kept.
inline Rgba shade(Rgba p, float s) { return Rgba(p.r * s, p.g * s, p.b * s, p.a); }
inline Rgba mixRgb(Rgba p, Rgba q, float t) {
    return Rgba(p.r + (q.r - p.r) * t, p.g + (q.g - p.g) * t, p.b + (q.b - p.b) * t, p.a + (q.a - p.a) * t);
}
// From 0-255 components.
constexpr Rgba rgb255(int r, int g, int b) { return Rgba(r / 255.0f, g / 255.0f, b / 255.0f, 1.0f); }

class Image {
public:
    Image() = default;
    Image(int width, int height, Rgba fill = Rgba(0, 0, 0, 1));

    int width() const { return w; }
    int height() const { return h; }
    Rgba& at(int x, int y) { return pixels[static_cast<size_t>(y) * w + x]; }
    const Rgba& at(int x, int y) const { return pixels[static_cast<size_t>(y) * w + x]; }

    // Bilinear lookup; u, v in 0..1 across the picture (v from the top), wrapping.
    Rgba sample(float u, float v) const;
    // Box filter: every factor x factor block becomes one pixel.
    Image downsample(int factor) const;
    // Lays src (with its alpha) over this picture at (x0, y0).
    void composite(const Image& src, int x0 = 0, int y0 = 0);
    // Lays this picture over a solid background and returns the opaque result.
    Image over(const Image& background) const;

private:
    int w = 0;
    int h = 0;
    std::vector<Rgba> pixels;
};

// A vertical gradient, the menu pictures' backdrop.
Image gradientImage(int width, int height, Rgba top, Rgba bottom);

} // namespace NSAssets
