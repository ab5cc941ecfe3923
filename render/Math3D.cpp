#include "render/Math3D.h"

#include <cmath>

namespace {

Vector3 Sub(const Vector3& a, const Vector3& b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}

Vector3 Cross(const Vector3& a, const Vector3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float Dot(const Vector3& a, const Vector3& b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Vector3 Normalise(const Vector3& v)
{
    return VecDivide(v, std::sqrt(VecLengthSq(v)));
}

}  // namespace

Vector3 VecDivide(const Vector3& v, float s)
{
    return {v.x / s, v.y / s, v.z / s};
}

float VecLengthSq(const Vector3& v)
{
    return v.x * v.x + v.y * v.y + v.z * v.z;
}

Matrix4 MatZero()
{
    return Matrix4{};
}

Matrix4 MatIdentity()
{
    Matrix4 r;
    for (int i = 0; i < 4; ++i) r.m[i][i] = 1.0f;
    return r;
}

Matrix4 MatLookAt(const Vector3& eye, const Vector3& target, const Vector3& up, float roll)
{
    const Vector3 d = Normalise(Sub(target, eye));
    const Vector3 rRaw = Cross(up, d);
    // u is taken from the un-normalised right vector; only its direction matters.
    const Vector3 u = Normalise(Cross(d, rRaw));
    const Vector3 r = Normalise(rRaw);

    Matrix4 m = MatIdentity();
    m.m[0][0] = r.x; m.m[1][0] = r.y; m.m[2][0] = r.z;
    m.m[0][1] = u.x; m.m[1][1] = u.y; m.m[2][1] = u.z;
    m.m[0][2] = d.x; m.m[1][2] = d.y; m.m[2][2] = d.z;
    m.m[3][0] = -Dot(r, eye);
    m.m[3][1] = -Dot(u, eye);
    m.m[3][2] = -Dot(d, eye);
    if (roll != 0.0f) m = MatMultiply(MatRotateZ(-roll), m);
    return m;
}

Matrix4 MatRotateX(float t)
{
    Matrix4 m = MatIdentity();
    const float c = std::cos(t), s = std::sin(t);
    m.m[1][1] = c; m.m[1][2] = -s;
    m.m[2][1] = s; m.m[2][2] = c;
    return m;
}

Matrix4 MatRotateY(float t)
{
    Matrix4 m = MatIdentity();
    const float c = std::cos(t), s = std::sin(t);
    m.m[0][0] = c; m.m[0][2] = s;
    m.m[2][0] = -s; m.m[2][2] = c;
    return m;
}

Matrix4 MatRotateZ(float t)
{
    Matrix4 m = MatIdentity();
    const float c = std::cos(t), s = std::sin(t);
    m.m[0][0] = c; m.m[0][1] = -s;
    m.m[1][0] = s; m.m[1][1] = c;
    return m;
}

Matrix4 MatTranslate(const Vector3& v)
{
    Matrix4 m = MatIdentity();
    m.m[3][0] = v.x; m.m[3][1] = v.y; m.m[3][2] = v.z;
    return m;
}

Matrix4 MatScale(const Vector3& v)
{
    Matrix4 m = MatIdentity();
    m.m[0][0] = v.x; m.m[1][1] = v.y; m.m[2][2] = v.z;
    return m;
}

Matrix4 MatMultiply(const Matrix4& a, const Matrix4& b)
{
    Matrix4 r = MatZero();
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k) r.m[i][j] += b.m[i][k] * a.m[k][j];
    return r;
}
