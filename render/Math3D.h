#pragma once
// Vector and matrix arithmetic for everything the game draws.
//
// Conventions every caller relies on:
//  - Points are row vectors multiplied on the left: p' = p * M. Translation sits in row 3.
//  - Angles are radians in single precision; every stored result is a float.
//  - The coordinate system is left-handed: a view matrix puts the viewing direction on +z.
//  - MatMultiply(a, b) returns b * a, so b is applied first and a second.
//  - Nothing checks for degenerate input; a zero-length vector yields non-finite values.

struct Vector3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    Vector3() = default;
    constexpr Vector3(float vx, float vy, float vz) : x(vx), y(vy), z(vz) {}
};
static_assert(sizeof(Vector3) == 12);

// Sixteen floats row after row; m[r][c] is float number 4r + c, the layout the device expects.
struct Matrix4 {
    float m[4][4] = {};
};
static_assert(sizeof(Matrix4) == 64);

Vector3 VecDivide(const Vector3& v, float s);
float VecLengthSq(const Vector3& v);

Matrix4 MatZero();
Matrix4 MatIdentity();
// roll != 0 turns the result by RotZ(-roll) after the look-at; roll == 0 leaves it untouched.
Matrix4 MatLookAt(const Vector3& eye, const Vector3& target, const Vector3& up, float roll);
Matrix4 MatRotateX(float t);
Matrix4 MatRotateY(float t);
Matrix4 MatRotateZ(float t);
Matrix4 MatTranslate(const Vector3& v);
Matrix4 MatScale(const Vector3& v);
// b * a: b first, then a.
Matrix4 MatMultiply(const Matrix4& a, const Matrix4& b);
