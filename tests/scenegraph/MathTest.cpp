#include <gtest/gtest.h>

#include "math/Matrix4.h"

namespace {

constexpr float PI = 3.1415927f;
constexpr float EPS = 1e-5f;

#define EXPECT_VEC_NEAR(e, a, tol) EXPECT_LT(length((e) - (a)), (tol)) << (a).x << ", " << (a).y << ", " << (a).z

// Angles that differ by whole turns name the same rotation.
void expectSameAngle(float expected, float actual) {
    float d = std::remainder(actual - expected, 2.0f * PI);
    EXPECT_NEAR(0.0f, d, 1e-4f) << "expected " << expected << ", got " << actual;
}

} // namespace

TEST(Vector3Test, CrossIsRightHandedAndAZeroVectorStaysZeroWhenNormalized) {
    EXPECT_EQ(Vector3(0, 0, 1), cross(Vector3(1, 0, 0), Vector3(0, 1, 0)));
    EXPECT_EQ(Vector3(0, 0, -1), cross(Vector3(0, 1, 0), Vector3(1, 0, 0)));
    Vector3 zero;
    EXPECT_EQ(Vector3(0, 0, 0), zero.normalize());
    EXPECT_VEC_NEAR(Vector3(0.6f, 0, 0.8f), Vector3(3, 0, 4).normalize(), EPS);
}

TEST(Matrix4Test, RotateFollowsGlRotate) {
    // {angle, axis (its length does not matter), point, where it goes}; a third of a turn about the diagonal cycles the axes.
    const struct { float angle; Vector3 axis, from, to; } turns[] = {
        {PI / 2, Vector3(0, 0, 5), Vector3(1, 0, 0), Vector3(0, 1, 0)},
        {PI / 2, Vector3(1, 0, 0), Vector3(0, 1, 0), Vector3(0, 0, 1)},
        {PI / 2, Vector3(0, 1, 0), Vector3(0, 0, 1), Vector3(1, 0, 0)},
        {2 * PI / 3, Vector3(1, 1, 1), Vector3(1, 0, 0), Vector3(0, 1, 0)}};
    for (const auto& t : turns) {
        Matrix4 m;
        m.rotate(t.angle, t.axis);
        EXPECT_VEC_NEAR(t.to, m.transformPoint(t.from), EPS);
    }

    // The per-axis builders agree with the general one.
    const float a = 0.83f;
    const Matrix4 pairs[3][2] = {{Matrix4::rotationX(a), Matrix4::rotation(a, Vector3(1, 0, 0))},
                                 {Matrix4::rotationY(a), Matrix4::rotation(a, Vector3(0, 1, 0))},
                                 {Matrix4::rotationZ(a), Matrix4::rotation(a, Vector3(0, 0, 1))}};
    for (const auto& p : pairs)
        for (int i = 0; i < 16; ++i)
            EXPECT_NEAR(p[0].m[i], p[1].m[i], EPS) << "index " << i;
}

TEST(Matrix4Test, BuildersPostMultiply) {
    Matrix4 ts;
    ts.translate(Vector3(10, 20, 30)).scale(Vector3(2, 3, 4));
    EXPECT_VEC_NEAR(Vector3(12, 23, 34), ts.transformPoint(Vector3(1, 1, 1)), EPS);

    Matrix4 st;
    st.scale(Vector3(2, 3, 4)).translate(Vector3(10, 20, 30));
    EXPECT_VEC_NEAR(Vector3(22, 63, 124), st.transformPoint(Vector3(1, 1, 1)), EPS);

    // Translate then rotate: the point turns about the local origin, then moves.
    Matrix4 tr;
    tr.translate(Vector3(5, 0, 0)).rotate(PI / 2, Vector3(0, 0, 1));
    EXPECT_VEC_NEAR(Vector3(5, 1, 0), tr.transformPoint(Vector3(1, 0, 0)), EPS);

    Matrix4 a = Matrix4::rotationY(0.4f), b;
    b.translate(Vector3(1, -2, 3));
    Vector3 p(0.5f, 1.5f, -2);
    EXPECT_VEC_NEAR(a.transformPoint(b.transformPoint(p)), (a * b).transformPoint(p), EPS);
}

TEST(MathDecomposeTest, RecoversNodeRotationAngles) {
    EXPECT_EQ(Vector3(0, 0, 0), zerlegeMatrixinAchsenMatrizen(Matrix4()));

    // (ay, ax, az) with |ax| < pi/2; ay and az also past a quarter turn either way.
    const float cases[][3] = {{0.3f, 0.5f, 0.7f},  {2.3f, 0.4f, -2.8f}, {-2.0f, -1.2f, 1.9f},
                              {3.0f, 1.4f, 2.0f},  {-0.6f, -0.2f, -1.0f}};
    for (const auto& c : cases) {
        Matrix4 m = Matrix4::rotationY(c[0]) * Matrix4::rotationX(c[1]) * Matrix4::rotationZ(c[2]);
        Vector3 angles = zerlegeMatrixinAchsenMatrizen(m);
        SCOPED_TRACE(testing::Message() << "ay=" << c[0] << " ax=" << c[1] << " az=" << c[2]);
        EXPECT_NEAR(c[1], angles.x, 1e-4f);
        expectSameAngle(c[0], angles.y);
        expectSameAngle(c[2], angles.z);
    }

    // Quarter turns about y and z: rounding must not turn them into NaN.
    for (float quarter : {1.5707964f, -1.5707964f}) {
        Matrix4 m = Matrix4::rotationY(quarter) * Matrix4::rotationX(-1.4955f) * Matrix4::rotationZ(quarter);
        Vector3 angles = zerlegeMatrixinAchsenMatrizen(m);
        EXPECT_NEAR(angles.x, -1.4955f, 1e-4f);
        expectSameAngle(quarter, angles.y);
        expectSameAngle(quarter, angles.z);
    }
}
