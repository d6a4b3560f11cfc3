#pragma once
// The engine's geometry vocabulary. All scalars are 32-bit floats; the world is right-handed with
// +y up. Matrices are column-major with column vectors (element index = column * 4 + row), as
// OpenGL's matrix calls take them: a point p is transformed as M * p.

namespace Orvanta {

// Pi to the six decimals the engine's own angle and sampling computations use.
constexpr float EnginePi = 3.141592f;

struct Float3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

// A rotation: x, y, z, w with w the scalar part. Identity is (0, 0, 0, 1).
struct Quaternion {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    float w = 1.0f;
};

struct Matrix4 {
    float m[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

    float& operator[](int i) { return m[i]; }
    float operator[](int i) const { return m[i]; }
};

// A point p is on the inner side when a*p.x + b*p.y + c*p.z + d >= 0; (a, b, c) has unit length.
struct Plane {
    float a = 0.0f;
    float b = 0.0f;
    float c = 0.0f;
    float d = 0.0f;
};

// Six planes (left, right, top, bottom, near, far), then the four unit directions of the side
// edges (top-left, top-right, bottom-left, bottom-right).
struct Frustum {
    enum { Left, Right, Top, Bottom, Near, Far };
    enum { TopLeft, TopRight, BottomLeft, BottomRight };
    Plane planes[6];
    Float3 cornerRays[4];
};

inline Float3 operator+(Float3 a, Float3 b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Float3 operator-(Float3 a, Float3 b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Float3 operator-(Float3 a)
{
    return {-a.x, -a.y, -a.z};
}
inline Float3 operator*(Float3 a, float s)
{
    return {a.x * s, a.y * s, a.z * s};
}
inline Float3 operator*(float s, Float3 a)
{
    return {a.x * s, a.y * s, a.z * s};
}
inline Float3 operator/(Float3 a, float s)
{
    return {a.x / s, a.y / s, a.z / s};
}
inline bool operator==(Float3 a, Float3 b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z;
}
inline bool operator==(Quaternion a, Quaternion b)
{
    return a.x == b.x && a.y == b.y && a.z == b.z && a.w == b.w;
}

float dot(Float3 a, Float3 b);
Float3 cross(Float3 a, Float3 b);
float length(Float3 v);
Float3 normalize(Float3 v);
// Componentwise product and quotient (scales).
Float3 multiplyComponents(Float3 a, Float3 b);
Float3 divideComponents(Float3 a, Float3 b);
// Componentwise smaller and larger (the corners of a growing box).
Float3 minComponents(Float3 a, Float3 b);
Float3 maxComponents(Float3 a, Float3 b);
// Corner i (0-7) of the box (lo, hi): bit 0 picks hi's x, bit 1 its y, bit 2 its z.
Float3 boxCorner(Float3 lo, Float3 hi, int i);

// Hamilton product a ⊗ b.
Quaternion operator*(Quaternion a, Quaternion b);
Quaternion conjugate(Quaternion q);
Quaternion normalize(Quaternion q);
// Normalises the axis, builds the rotation, normalises the result again.
Quaternion fromAxisAngle(Float3 axis, float angle);
// The vector part of q ⊗ (v, 0) ⊗ conjugate(q).
Float3 rotate(Quaternion q, Float3 v);

Matrix4 multiply(const Matrix4& a, const Matrix4& b);
// Cofactor expansion along the first row.
float determinant(const Matrix4& m);
// Adjugate divided by the determinant. A singular matrix yields the zero matrix rather than
// infinities, so callers never propagate NaNs from a degenerate transform.
Matrix4 inverse(const Matrix4& m);
Matrix4 transpose(const Matrix4& m);
// Rotation of a unit quaternion with a translation in elements 12-14, times diag(scale, 1).
Matrix4 composeTransform(Float3 position, Quaternion orientation, Float3 scale);
// Symmetric perspective projection; vertical field of view in degrees, eye space looks down -z.
Matrix4 perspective(float fovY, float aspect, float nearDistance, float farDistance);
Float3 transformPoint(const Matrix4& m, Float3 p);
// Upper-left 3x3 block applied to v (no translation).
Float3 transformVector(const Matrix4& m, Float3 v);
// The box around the box (lo, hi) carried by m: its eight corners transformed.
void transformBox(const Matrix4& m, Float3 lo, Float3 hi, Float3& outLo, Float3& outHi);

Frustum extractFrustum(const Matrix4& viewProjection);
// The viewing direction through a point of the image: the corner rays blended bilinearly, u from
// the left edge (0) to the right (1), v from the top (0) to the bottom (1). Not normalised.
Float3 frustumRay(const Frustum& frustum, float u, float v);
// False when all eight corners are outside one plane; conservative near the frustum's edges.
bool obbInFrustum(const Float3 corners[8], const Frustum& frustum);

}  // namespace Orvanta
