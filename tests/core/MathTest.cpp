#include <gtest/gtest.h>

#include <cmath>

#include "render/Math3D.h"

namespace {

void ExpectRow(const Matrix4& m, int r, float a, float b, float c, float d, float eps = 1e-4f)
{
    EXPECT_NEAR(m.m[r][0], a, eps) << "row " << r;
    EXPECT_NEAR(m.m[r][1], b, eps) << "row " << r;
    EXPECT_NEAR(m.m[r][2], c, eps) << "row " << r;
    EXPECT_NEAR(m.m[r][3], d, eps) << "row " << r;
}

Vector3 Transform(const Vector3& p, const Matrix4& m)
{
    Vector3 r;
    r.x = p.x * m.m[0][0] + p.y * m.m[1][0] + p.z * m.m[2][0] + m.m[3][0];
    r.y = p.x * m.m[0][1] + p.y * m.m[1][1] + p.z * m.m[2][1] + m.m[3][1];
    r.z = p.x * m.m[0][2] + p.y * m.m[1][2] + p.z * m.m[2][2] + m.m[3][2];
    return r;
}

Matrix4 Sample()
{
    Matrix4 m;
    for (int i = 0; i < 16; ++i) m.m[i / 4][i % 4] = float(i * 3 - 7) / 5.0f;
    return m;
}

}  // namespace

TEST(MathTest, LookAtFromTheGameCameraMatchesTheWorkedExample)
{
    const Matrix4 m = MatLookAt({0, 200, 1000}, {0, 0, 0}, {0, 1, 0}, 0.0f);
    ExpectRow(m, 0, -1, 0, 0, 0);
    ExpectRow(m, 1, 0, 0.98058f, -0.19612f, 0);
    ExpectRow(m, 2, 0, -0.19612f, -0.98058f, 0);
    ExpectRow(m, 3, 0, 0, 1019.80f, 1, 0.01f);
}

TEST(MathTest, LookAtRollOfZeroIsUntouchedAndAFullTurnIsNearlySo)
{
    const Vector3 eye{30, 200, 1000}, target{0, 0, 0}, up{0, 1, 0};
    const Matrix4 plain = MatLookAt(eye, target, up, 0.0f);
    const Matrix4 turned = MatLookAt(eye, target, up, 6.2831853f);
    for (int r = 0; r < 4; ++r)
        ExpectRow(turned, r, plain.m[r][0], plain.m[r][1], plain.m[r][2], plain.m[r][3], 2e-3f);
    // A quarter roll swaps the screen axes: column 0 becomes column 1 turned.
    const Matrix4 quarter = MatLookAt(eye, target, up, 1.5707964f);
    EXPECT_NEAR(quarter.m[0][1], plain.m[0][0], 1e-5f);
    EXPECT_NEAR(quarter.m[0][0], -plain.m[0][1], 1e-5f);
}

TEST(MathTest, LookAtWithEyeOnTargetGivesNonFiniteEntries)
{
    const Matrix4 m = MatLookAt({1, 2, 3}, {1, 2, 3}, {0, 1, 0}, 0.0f);
    EXPECT_FALSE(std::isfinite(m.m[0][2]));
}

TEST(MathTest, MultiplyAppliesTheSecondArgumentFirst)
{
    const Matrix4 t = MatTranslate({5, 6, 7});
    const Matrix4 s = MatScale({2, 3, 4});
    const Matrix4 st = MatMultiply(t, s);  // scale, then move
    ExpectRow(st, 0, 2, 0, 0, 0);
    ExpectRow(st, 1, 0, 3, 0, 0);
    ExpectRow(st, 2, 0, 0, 4, 0);
    ExpectRow(st, 3, 5, 6, 7, 1);
    const Vector3 p = Transform({1, 1, 1}, st);
    EXPECT_FLOAT_EQ(p.x, 7);
    EXPECT_FLOAT_EQ(p.y, 9);
    EXPECT_FLOAT_EQ(p.z, 11);
}

TEST(MathTest, MultiplyByIdentityOnEitherSideKeepsTheMatrix)
{
    const Matrix4 x = Sample();
    const Matrix4 a = MatMultiply(MatIdentity(), x);
    const Matrix4 b = MatMultiply(x, MatIdentity());
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(a.m[r][c], x.m[r][c]);
            EXPECT_EQ(b.m[r][c], x.m[r][c]);
        }
}

TEST(MathTest, RotationsTurnTheAxesTheDeviceWay)
{
    const Vector3 p = Transform({1, 0, 0}, MatRotateZ(1.5707964f));
    EXPECT_NEAR(p.x, 0, 1e-6f);
    EXPECT_NEAR(p.y, -1, 1e-6f);
    const Vector3 q = Transform({0, 1, 0}, MatRotateX(1.5707964f));
    EXPECT_NEAR(q.z, -1, 1e-6f);
    const Vector3 r = Transform({0, 0, 1}, MatRotateY(1.5707964f));
    EXPECT_NEAR(r.x, -1, 1e-6f);
}

TEST(MathTest, VectorHelpers)
{
    EXPECT_FLOAT_EQ(VecLengthSq({1, 2, 3}), 14.0f);
    const Vector3 h = VecDivide({2, 4, 8}, 2);
    EXPECT_FLOAT_EQ(h.z, 4);
}
