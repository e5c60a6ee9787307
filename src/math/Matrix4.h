#pragma once
// A 4x4 transformation matrix in OpenGL layout: column-major, the element in
// row r and column c at m[4 * c + r], the translation at m[12..14]. It goes to
// OpenGL unchanged (glMultMatrixf(M.data()), glGetFloatv(..., M.data())).
// Points are column vectors multiplied from the right, and every builder
// post-multiplies, like the fixed-function matrix stack does.

#include "math/Vector3.h"

struct Matrix4 {
    float m[16];

    // The identity.
    Matrix4();

    Matrix4 operator*(const Matrix4& b) const;
    // this = this * b
    Matrix4& operator*=(const Matrix4& b);

    // this = this * T(v)
    Matrix4& translate(const Vector3& v);
    // this = this * diag(v.x, v.y, v.z, 1)
    Matrix4& scale(const Vector3& v);
    // this = this * R, R the right-handed rotation by angle (radians) about
    // axis, the same matrix glRotate builds. The axis needs no unit length.
    Matrix4& rotate(float angle, Vector3 axis);

    // M * (p, 1), without a division by w.
    Vector3 transformPoint(const Vector3& p) const;

    const float* data() const { return m; }
    float* data() { return m; }

    float at(int row, int col) const { return m[4 * col + row]; }

    static Matrix4 rotation(float angle, const Vector3& axis);
    static Matrix4 rotationX(float angle);
    static Matrix4 rotationY(float angle);
    static Matrix4 rotationZ(float angle);
};

// Splits a rotation matrix into the angles (ax, ay, az) with
// matrix = Ry(ay) * Rx(ax) * Rz(az), the order scene nodes rotate in.
// ax comes out in [-pi/2, pi/2]; ay and az in [-pi/2, 3pi/2]. When the
// x rotation is a quarter turn, y and z rotate about the same axis and only
// their sum is known; then ay is 0 and az carries all of it.
Vector3 zerlegeMatrixinAchsenMatrizen(const Matrix4& m);
