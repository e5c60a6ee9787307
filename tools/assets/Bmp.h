#pragma once
// Uncompressed Windows bitmaps: 24-bit BGR or 32-bit BGRA, bottom row first,
// rows padded to four bytes, a 40-byte information header.

#include <cstdint>
#include <vector>

#include "assets/Image.h"

namespace NSAssets {

// bitsPerPixel is 24 or 32; colours are rounded to the nearest byte.
std::vector<uint8_t> encodeBmp(const Image& image, int bitsPerPixel);

} // namespace NSAssets
