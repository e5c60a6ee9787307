#include "assets/Bmp.h"

#include <cmath>

namespace NSAssets {

namespace {

void put16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xff));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>((v >> (8 * i)) & 0xff));
}

uint8_t toByte(float v) {
    float c = v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
    return static_cast<uint8_t>(std::lround(c * 255.0f));
}

} // namespace

std::vector<uint8_t> encodeBmp(const Image& image, int bitsPerPixel) {
    const int bytesPerPixel = bitsPerPixel / 8;
    const uint32_t stride = (static_cast<uint32_t>(image.width()) * bytesPerPixel + 3u) & ~3u;
    const uint32_t dataSize = stride * static_cast<uint32_t>(image.height());
    const uint32_t dataOffset = 14 + 40;

    std::vector<uint8_t> out;
    out.reserve(dataOffset + dataSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, dataOffset + dataSize);
    put32(out, 0); // two reserved words
    put32(out, dataOffset);

    put32(out, 40);
    put32(out, static_cast<uint32_t>(image.width()));
    put32(out, static_cast<uint32_t>(image.height())); // positive: bottom row first
    put16(out, 1);
    put16(out, static_cast<uint16_t>(bitsPerPixel));
    put32(out, 0); // BI_RGB
    put32(out, dataSize);
    put32(out, 2835); // 72 dpi
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);

    for (int y = image.height() - 1; y >= 0; --y) {
        uint32_t written = 0;
        for (int x = 0; x < image.width(); ++x) {
            const Rgba& p = image.at(x, y);
            out.push_back(toByte(p.b));
            out.push_back(toByte(p.g));
            out.push_back(toByte(p.r));
            if (bytesPerPixel == 4)
                out.push_back(toByte(p.a));
            written += bytesPerPixel;
        }
        for (; written < stride; ++written)
            out.push_back(0);
    }
    return out;
}

} // namespace NSAssets
