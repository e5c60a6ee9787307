#include "shell/DisplayScale.h"

#include <algorithm>
#include <cmath>

namespace NSWindow {

namespace {

float& scaleSlot() {
    static float scale = 1.0f;
    return scale;
}

} // namespace

float displayScale() { return scaleSlot(); }

void setDisplayScale(float scale) { scaleSlot() = std::clamp(std::isfinite(scale) ? scale : 1.0f, 1.0f, 4.0f); }

float scaleForDpi(double dpi) {
    if (!std::isfinite(dpi) || dpi <= 96.0)
        return 1.0f;
    return static_cast<float>(std::min(4.0, std::round(dpi / 96.0 * 4.0) / 4.0));
}

int unitsToPixels(int units, float scale) { return static_cast<int>(std::lround(static_cast<double>(units) * scale)); }

int pixelToUnit(int pixel, float scale) {
    return static_cast<int>(std::floor((static_cast<double>(pixel) + 0.5) / scale));
}

int unitsCovering(int pixels, float scale) {
    return static_cast<int>(std::ceil(static_cast<double>(pixels) / scale - 1e-6));
}

} // namespace NSWindow
