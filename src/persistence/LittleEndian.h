#pragma once
// Numbers read from little-endian bytes, the byte order of every file the
// game reads: its own records, BMP pictures, MD2 models and WAV sounds.
#include <cstdint>
#include <cstring>

namespace NSSerialize {

inline uint16_t le16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

inline int16_t le16s(const unsigned char* p) { return static_cast<int16_t>(le16(p)); }

inline uint32_t le32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}

inline int32_t le32s(const unsigned char* p) {
    const uint32_t raw = le32(p);
    int32_t value;
    std::memcpy(&value, &raw, 4);
    return value;
}

inline float le32f(const unsigned char* p) {
    const uint32_t raw = le32(p);
    float value;
    std::memcpy(&value, &raw, 4);
    return value;
}

} // namespace NSSerialize
