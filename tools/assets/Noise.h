#pragma once
// Repeatable pseudo-random patterns for the skins: integer hashing only, so
// the same seed gives the same picture on every run.

#include <cstdint>

#include "assets/Geometry.h"

namespace NSAssets {

uint32_t hashInts(int x, int y, int z, uint32_t seed);
// 0..1 from a hash.
float hash01(int x, int y, int z, uint32_t seed);
// Smooth lattice noise in 0..1.
float valueNoise(Vec3 p, uint32_t seed);
// Sum of octaves of valueNoise, 0..1.
float fractalNoise(Vec3 p, int octaves, uint32_t seed);

} // namespace NSAssets
