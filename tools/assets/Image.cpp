#include "assets/Image.h"

#include <cmath>

namespace NSAssets {

Image::Image(int width, int height, Rgba fill)
    : w(width), h(height), pixels(static_cast<size_t>(width) * height, fill) {}

Rgba Image::sample(float u, float v) const {
    float fx = u * w - 0.5f, fy = v * h - 0.5f;
    float x0f = std::floor(fx), y0f = std::floor(fy);
    float tx = fx - x0f, ty = fy - y0f;
    auto wrap = [](int i, int n) { return ((i % n) + n) % n; };
    int x0 = wrap(static_cast<int>(x0f), w), x1 = wrap(static_cast<int>(x0f) + 1, w);
    int y0 = wrap(static_cast<int>(y0f), h), y1 = wrap(static_cast<int>(y0f) + 1, h);
    Rgba top = mixRgb(at(x0, y0), at(x1, y0), tx);
    Rgba bottom = mixRgb(at(x0, y1), at(x1, y1), tx);
    return mixRgb(top, bottom, ty);
}

Image Image::downsample(int factor) const {
    Image out(w / factor, h / factor);
    float inv = 1.0f / static_cast<float>(factor * factor);
    for (int y = 0; y < out.h; ++y)
        for (int x = 0; x < out.w; ++x) {
            Rgba sum(0, 0, 0, 0);
            for (int j = 0; j < factor; ++j)
                for (int i = 0; i < factor; ++i) {
                    // Colours are averaged weighted by coverage so edges do not darken.
                    const Rgba& p = at(x * factor + i, y * factor + j);
                    sum = sum + Rgba(p.r * p.a, p.g * p.a, p.b * p.a, p.a);
                }
            Rgba& o = out.at(x, y);
            o.a = sum.a * inv;
            if (sum.a > 0.0f)
                o = Rgba(sum.r / sum.a, sum.g / sum.a, sum.b / sum.a, o.a);
            else
                o = Rgba(0, 0, 0, 0);
        }
    return out;
}

void Image::composite(const Image& src, int x0, int y0) {
    for (int y = 0; y < src.h; ++y)
        for (int x = 0; x < src.w; ++x) {
            int tx = x + x0, ty = y + y0;
            if (tx < 0 || ty < 0 || tx >= w || ty >= h)
                continue;
            const Rgba& s = src.at(x, y);
            Rgba& d = at(tx, ty);
            float a = s.a + d.a * (1.0f - s.a);
            if (a <= 0.0f) {
                d = Rgba(0, 0, 0, 0);
                continue;
            }
            d.r = (s.r * s.a + d.r * d.a * (1.0f - s.a)) / a;
            d.g = (s.g * s.a + d.g * d.a * (1.0f - s.a)) / a;
            d.b = (s.b * s.a + d.b * d.a * (1.0f - s.a)) / a;
            d.a = a;
        }
}

Image Image::over(const Image& background) const {
    Image out = background;
    out.composite(*this);
    return out;
}

Image gradientImage(int width, int height, Rgba top, Rgba bottom) {
    Image img(width, height);
    for (int y = 0; y < height; ++y) {
        Rgba c = mixRgb(top, bottom, height > 1 ? static_cast<float>(y) / (height - 1) : 0.0f);
        for (int x = 0; x < width; ++x)
            img.at(x, y) = c;
    }
    return img;
}

} // namespace NSAssets
