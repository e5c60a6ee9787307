// The game's icon drawn for the window: the picture of packaging/quibbleton.svg
// (a ball rolling down a tilted board towards a box on dark blue), sampled
// 4 x 4 times per pixel.
#include <algorithm>
#include <cmath>

#include "window/DesktopWindow.h"

namespace NSWindow {

namespace {

struct Colour {
    double r, g, b;
};

// The colour at (x, y) of the 128 x 128 picture; false outside the rounded square.
bool iconColour(double x, double y, Colour& c) {
    // The background: a square with corners rounded by 16.
    const double cx = std::clamp(x, 16.0, 112.0), cy = std::clamp(y, 16.0, 112.0);
    if (x < 0 || y < 0 || x > 128 || y > 128 || std::hypot(x - cx, y - cy) > 16.0)
        return false;
    c = {0x10, 0x18, 0x5a};
    // The board, turned 18 degrees about (53, 57).
    const double a = -18.0 * M_PI / 180.0;
    const double bx = 53 + (x - 53) * std::cos(a) - (y - 57) * std::sin(a);
    const double by = 57 + (x - 53) * std::sin(a) + (y - 57) * std::cos(a);
    if (bx >= 14 && bx <= 92 && by >= 52 && by <= 62)
        c = {0xc0, 0x80, 0x40};
    // The box: a green outline 5 wide.
    const bool outer = x >= 75.5 && x <= 116.5 && y >= 83.5 && y <= 116.5;
    const bool inner = x > 80.5 && x < 111.5 && y > 88.5 && y < 111.5;
    if (outer && !inner)
        c = {0x40, 0xe0, 0x70};
    // The ball with its seams.
    if (std::hypot(x - 32, y - 36) <= 14.0) {
        c = {0xe0, 0x6a, 0x1a};
        if ((std::fabs(y - 36) <= 1.25 && x >= 18 && x <= 46) || (std::fabs(x - 32) <= 1.25 && y >= 22 && y <= 50))
            c = {0x40, 0x18, 0x08};
    }
    return true;
}

} // namespace

std::vector<unsigned long> iconData(int size) {
    std::vector<unsigned long> data{static_cast<unsigned long>(size), static_cast<unsigned long>(size)};
    constexpr int kSamples = 4;
    const double step = 128.0 / size;
    for (int py = 0; py < size; ++py)
        for (int px = 0; px < size; ++px) {
            double r = 0, g = 0, b = 0;
            int covered = 0;
            for (int sy = 0; sy < kSamples; ++sy)
                for (int sx = 0; sx < kSamples; ++sx) {
                    Colour c{};
                    if (!iconColour((px + (sx + 0.5) / kSamples) * step, (py + (sy + 0.5) / kSamples) * step, c))
                        continue;
                    r += c.r;
                    g += c.g;
                    b += c.b;
                    ++covered;
                }
            const auto channel = [covered](double sum) {
                return static_cast<unsigned long>(covered ? std::lround(sum / covered) : 0);
            };
            const auto alpha = static_cast<unsigned long>(covered * 255 / (kSamples * kSamples));
            data.push_back(alpha << 24 | channel(r) << 16 | channel(g) << 8 | channel(b));
        }
    return data;
}

} // namespace NSWindow
