#include "math/Matrix4.h"

#include <algorithm>
#include <cmath>

#include "shell/Log.h"

namespace {
constexpr float PI = 3.1415927f;
}

Matrix4::Matrix4() : m{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1} {}

Matrix4 Matrix4::operator*(const Matrix4& b) const {
    Matrix4 r;
    for (int col = 0; col < 4; ++col) {
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += m[4 * k + row] * b.m[4 * col + k];
            r.m[4 * col + row] = sum;
        }
    }
    return r;
}

Matrix4& Matrix4::operator*=(const Matrix4& b) { return *this = *this * b; }

Matrix4& Matrix4::translate(const Vector3& v) {
    Matrix4 t;
    t.m[12] = v.x;
    t.m[13] = v.y;
    t.m[14] = v.z;
    return *this *= t;
}

Matrix4& Matrix4::scale(const Vector3& v) {
    Matrix4 s;
    s.m[0] = v.x;
    s.m[5] = v.y;
    s.m[10] = v.z;
    return *this *= s;
}

Matrix4& Matrix4::rotate(float angle, Vector3 axis) { return *this *= rotation(angle, axis); }

Vector3 Matrix4::transformPoint(const Vector3& p) const {
    return Vector3(m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12],
                   m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
                   m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]);
}

Matrix4 Matrix4::rotation(float angle, const Vector3& axisIn) {
    Vector3 a = axisIn;
    a.normalize();
    const float s = std::sin(angle), c = std::cos(angle), t = 1.0f - c;
    Matrix4 r;
    // column 0
    r.m[0] = a.x * a.x * t + c;
    r.m[1] = a.x * a.y * t + a.z * s;
    r.m[2] = a.x * a.z * t - a.y * s;
    // column 1
    r.m[4] = a.x * a.y * t - a.z * s;
    r.m[5] = a.y * a.y * t + c;
    r.m[6] = a.y * a.z * t + a.x * s;
    // column 2
    r.m[8] = a.x * a.z * t + a.y * s;
    r.m[9] = a.y * a.z * t - a.x * s;
    r.m[10] = a.z * a.z * t + c;
    return r;
}

Matrix4 Matrix4::rotationX(float angle) {
    const float s = std::sin(angle), c = std::cos(angle);
    Matrix4 r;
    r.m[5] = c;
    r.m[6] = s;
    r.m[9] = -s;
    r.m[10] = c;
    return r;
}

Matrix4 Matrix4::rotationY(float angle) {
    const float s = std::sin(angle), c = std::cos(angle);
    Matrix4 r;
    r.m[0] = c;
    r.m[2] = -s;
    r.m[8] = s;
    r.m[10] = c;
    return r;
}

Matrix4 Matrix4::rotationZ(float angle) {
    const float s = std::sin(angle), c = std::cos(angle);
    Matrix4 r;
    r.m[0] = c;
    r.m[1] = s;
    r.m[4] = -s;
    r.m[5] = c;
    return r;
}

Vector3 zerlegeMatrixinAchsenMatrizen(const Matrix4& mat) {
    const float* m = mat.m;
    const float ax = std::asin(-m[9]);
    // cos(asin(x)) written as sqrt(1 - x^2): identical for |x| <= 1, but a
    // vertical x-axis (x = +-1) gives exactly 0 rather than a rounding
    // residue near 1e-8 that would blow k up. |x| > 1 gives NaN either way.
    const float cosX = std::sqrt(1.0f - m[9] * m[9]);
    if (cosX == 0.0f) {
        log(LOG_INFO, "zerlegeMatrixinAchsenMatrizen: Division durch 0\n\talternative Berechnung wird angewendet\n");
        float az = std::asin(m[2]);
        if (m[0] < 0.0f)
            az = PI - az;
        if (m[9] > 0.0f)
            az = -az;
        return Vector3(ax, 0.0f, az);
    }
    const float k = 1.0f / cosX;
    // Rounding can push a sine a hair past +-1 near a quarter turn; asin
    // would then give NaN instead of the quarter turn.
    float ay = std::asin(std::clamp(k * m[8], -1.0f, 1.0f));
    float az = std::asin(std::clamp(k * m[1], -1.0f, 1.0f));
    if (k * m[10] < 0.0f)
        ay = PI - ay;
    if (k * m[5] < 0.0f)
        az = PI - az;
    return Vector3(ax, ay, az);
}
