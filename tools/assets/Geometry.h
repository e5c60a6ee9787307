#pragma once
// Small vector and rotation helpers for the asset tool. Single precision,
// plain value types; nothing here depends on the game.

#include <cmath>

namespace NSAssets {

constexpr float PI = 3.14159265358979f;

struct Vec2 {
    float x = 0.0f;
    float y = 0.0f;
    constexpr Vec2() = default;
    constexpr Vec2(float x_, float y_) : x(x_), y(y_) {}
};

inline Vec2 operator+(Vec2 a, Vec2 b) { return Vec2(a.x + b.x, a.y + b.y); }
inline Vec2 operator-(Vec2 a, Vec2 b) { return Vec2(a.x - b.x, a.y - b.y); }
inline Vec2 operator*(Vec2 a, float s) { return Vec2(a.x * s, a.y * s); }
inline float dot(Vec2 a, Vec2 b) { return a.x * b.x + a.y * b.y; }
inline float length(Vec2 a) { return std::sqrt(dot(a, a)); }

struct Vec3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    constexpr Vec3() = default;
    constexpr Vec3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}
    float operator[](int i) const { return i == 0 ? x : (i == 1 ? y : z); }
    float& operator[](int i) { return i == 0 ? x : (i == 1 ? y : z); }
};

inline Vec3 operator+(Vec3 a, Vec3 b) { return Vec3(a.x + b.x, a.y + b.y, a.z + b.z); }
inline Vec3 operator-(Vec3 a, Vec3 b) { return Vec3(a.x - b.x, a.y - b.y, a.z - b.z); }
inline Vec3 operator-(Vec3 a) { return Vec3(-a.x, -a.y, -a.z); }
inline Vec3 operator*(Vec3 a, float s) { return Vec3(a.x * s, a.y * s, a.z * s); }
inline Vec3 operator*(float s, Vec3 a) { return a * s; }
inline float dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(Vec3 a, Vec3 b) {
    return Vec3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}
inline float length(Vec3 a) { return std::sqrt(dot(a, a)); }
inline Vec3 normalized(Vec3 a) {
    float l = length(a);
    return l > 0.0f ? a * (1.0f / l) : a;
}

inline float clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }
inline float smoothstep(float e0, float e1, float v) {
    float t = clamp01((v - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}
inline float mix(float a, float b, float t) { return a + (b - a) * t; }

// A rotation as a row-major 3x3 matrix.
struct Mat3 {
    float m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};

    Vec3 operator*(Vec3 v) const {
        return Vec3(m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z,
                    m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
                    m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z);
    }
    Mat3 operator*(const Mat3& o) const {
        Mat3 r;
        for (int i = 0; i < 3; ++i)
            for (int j = 0; j < 3; ++j)
                r.m[i][j] = m[i][0] * o.m[0][j] + m[i][1] * o.m[1][j] + m[i][2] * o.m[2][j];
        return r;
    }

    // Rotation by angle (radians, right-handed) about a unit axis.
    static Mat3 rotation(Vec3 axis, float angle) {
        Vec3 a = normalized(axis);
        float c = std::cos(angle), s = std::sin(angle), t = 1.0f - c;
        Mat3 r;
        r.m[0][0] = t * a.x * a.x + c;
        r.m[0][1] = t * a.x * a.y - s * a.z;
        r.m[0][2] = t * a.x * a.z + s * a.y;
        r.m[1][0] = t * a.x * a.y + s * a.z;
        r.m[1][1] = t * a.y * a.y + c;
        r.m[1][2] = t * a.y * a.z - s * a.x;
        r.m[2][0] = t * a.x * a.z - s * a.y;
        r.m[2][1] = t * a.y * a.z + s * a.x;
        r.m[2][2] = t * a.z * a.z + c;
        return r;
    }
    static Mat3 rotX(float a) { return rotation(Vec3(1, 0, 0), a); }
    static Mat3 rotY(float a) { return rotation(Vec3(0, 1, 0), a); }
    static Mat3 rotZ(float a) { return rotation(Vec3(0, 0, 1), a); }
};

// A rigid placement: rotate, then translate.
struct Xform {
    Mat3 rot;
    Vec3 move;

    Xform() = default;
    explicit Xform(Vec3 t) : move(t) {}
    Xform(const Mat3& r, Vec3 t) : rot(r), move(t) {}

    Vec3 point(Vec3 p) const { return rot * p + move; }
    Vec3 dir(Vec3 d) const { return rot * d; }
    // this applied after inner.
    Xform operator*(const Xform& inner) const { return Xform(rot * inner.rot, rot * inner.move + move); }
};

} // namespace NSAssets
