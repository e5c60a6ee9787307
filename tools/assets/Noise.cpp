#include "assets/Noise.h"

#include <cmath>

namespace NSAssets {

uint32_t hashInts(int x, int y, int z, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B1u;
    h ^= static_cast<uint32_t>(x) * 0x85EBCA77u;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<uint32_t>(y) * 0xC2B2AE3Du;
    h = (h << 17) | (h >> 15);
    h ^= static_cast<uint32_t>(z) * 0x27D4EB2Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

float hash01(int x, int y, int z, uint32_t seed) {
    return static_cast<float>(hashInts(x, y, z, seed) >> 8) / 16777216.0f;
}

float valueNoise(Vec3 p, uint32_t seed) {
    float fx = std::floor(p.x), fy = std::floor(p.y), fz = std::floor(p.z);
    int x = static_cast<int>(fx), y = static_cast<int>(fy), z = static_cast<int>(fz);
    float tx = p.x - fx, ty = p.y - fy, tz = p.z - fz;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    tz = tz * tz * (3 - 2 * tz);
    float c[2][2][2];
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 2; ++j)
            for (int k = 0; k < 2; ++k)
                c[i][j][k] = hash01(x + i, y + j, z + k, seed);
    float x00 = mix(c[0][0][0], c[1][0][0], tx), x10 = mix(c[0][1][0], c[1][1][0], tx);
    float x01 = mix(c[0][0][1], c[1][0][1], tx), x11 = mix(c[0][1][1], c[1][1][1], tx);
    return mix(mix(x00, x10, ty), mix(x01, x11, ty), tz);
}

float fractalNoise(Vec3 p, int octaves, uint32_t seed) {
    float sum = 0.0f, amp = 0.5f, norm = 0.0f;
    for (int o = 0; o < octaves; ++o) {
        sum += amp * valueNoise(p, seed + static_cast<uint32_t>(o) * 101u);
        norm += amp;
        p = p * 2.03f;
        amp *= 0.5f;
    }
    return sum / norm;
}

} // namespace NSAssets
