#pragma once
// A point or direction in 3D: three floats, plain value semantics.
// Everything is computed in single precision.

#include <cmath>

struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    constexpr Vector3() = default;
    constexpr Vector3(float x_, float y_, float z_) : x(x_), y(y_), z(z_) {}

    Vector3& operator+=(const Vector3& o) {
        x += o.x;
        y += o.y;
        z += o.z;
        return *this;
    }
    Vector3& operator-=(const Vector3& o) {
        x -= o.x;
        y -= o.y;
        z -= o.z;
        return *this;
    }
    Vector3& operator*=(float s) {
        x *= s;
        y *= s;
        z *= s;
        return *this;
    }
    // Division multiplies by the reciprocal, so a / s and a * (1 / s) agree bit for bit.
    Vector3& operator/=(float s) { return *this *= 1.0f / s; }

    float length() const { return std::sqrt(x * x + y * y + z * z); }

    // Scales to unit length in place. A zero vector has no direction and is left as it is.
    Vector3& normalize() {
        float len = length();
        if (len != 0.0f)
            *this *= 1.0f / len;
        return *this;
    }
};

inline Vector3 operator+(Vector3 a, const Vector3& b) { return a += b; }
inline Vector3 operator-(Vector3 a, const Vector3& b) { return a -= b; }
inline Vector3 operator-(const Vector3& a) { return Vector3(-a.x, -a.y, -a.z); }
inline Vector3 operator*(Vector3 a, float s) { return a *= s; }
inline Vector3 operator*(float s, Vector3 a) { return a *= s; }
inline Vector3 operator/(Vector3 a, float s) { return a /= s; }

inline bool operator==(const Vector3& a, const Vector3& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }
inline bool operator!=(const Vector3& a, const Vector3& b) { return !(a == b); }

inline float dot(const Vector3& a, const Vector3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

inline Vector3 cross(const Vector3& a, const Vector3& b) {
    return Vector3(a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x);
}

inline float length(const Vector3& a) { return a.length(); }

// Whether every component is a finite number (no NaN, no infinity).
inline bool isFinite(const Vector3& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z); }
