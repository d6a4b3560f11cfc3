#include "scene/Math.h"

#include <algorithm>
#include <cmath>

namespace Orvanta {

float dot(Float3 a, Float3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

Float3 cross(Float3 a, Float3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float length(Float3 v)
{
    return std::sqrt(dot(v, v));
}

Float3 normalize(Float3 v)
{
    float l = length(v);
    return l > 0.0f ? v / l : v;
}

Float3 multiplyComponents(Float3 a, Float3 b)
{
    return {a.x * b.x, a.y * b.y, a.z * b.z};
}

Float3 divideComponents(Float3 a, Float3 b)
{
    return {a.x / b.x, a.y / b.y, a.z / b.z};
}

Float3 minComponents(Float3 a, Float3 b)
{
    return {std::min(a.x, b.x), std::min(a.y, b.y), std::min(a.z, b.z)};
}

Float3 maxComponents(Float3 a, Float3 b)
{
    return {std::max(a.x, b.x), std::max(a.y, b.y), std::max(a.z, b.z)};
}

Float3 boxCorner(Float3 lo, Float3 hi, int i)
{
    return {(i & 1) ? hi.x : lo.x, (i & 2) ? hi.y : lo.y, (i & 4) ? hi.z : lo.z};
}

Quaternion operator*(Quaternion a, Quaternion b)
{
    return {a.w * b.x + a.x * b.w + a.y * b.z - a.z * b.y, a.w * b.y + a.y * b.w + a.z * b.x - a.x * b.z,
            a.w * b.z + a.z * b.w + a.x * b.y - a.y * b.x, a.w * b.w - a.x * b.x - a.y * b.y - a.z * b.z};
}

Quaternion conjugate(Quaternion q)
{
    return {-q.x, -q.y, -q.z, q.w};
}

Quaternion normalize(Quaternion q)
{
    float l = std::sqrt(q.x * q.x + q.y * q.y + q.z * q.z + q.w * q.w);
    if (l <= 0.0f)
        return q;
    return {q.x / l, q.y / l, q.z / l, q.w / l};
}

Quaternion fromAxisAngle(Float3 axis, float angle)
{
    Float3 a = normalize(axis);
    float s = std::sin(angle * 0.5f);
    return normalize(Quaternion{a.x * s, a.y * s, a.z * s, std::cos(angle * 0.5f)});
}

Float3 rotate(Quaternion q, Float3 v)
{
    Quaternion r = q * Quaternion{v.x, v.y, v.z, 0.0f} * conjugate(q);
    return {r.x, r.y, r.z};
}

Matrix4 multiply(const Matrix4& a, const Matrix4& b)
{
    Matrix4 r;
    for (int column = 0; column < 4; ++column)
        for (int row = 0; row < 4; ++row) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k)
                sum += a[k * 4 + row] * b[column * 4 + k];
            r[column * 4 + row] = sum;
        }
    return r;
}

namespace {

// Element at (row, column) of the column-major matrix.
float at(const Matrix4& m, int row, int column)
{
    return m[column * 4 + row];
}

// Determinant of the 3x3 minor that leaves out the given row and column.
float minor3(const Matrix4& m, int skipRow, int skipColumn)
{
    float e[9];
    int n = 0;
    for (int r = 0; r < 4; ++r) {
        if (r == skipRow)
            continue;
        for (int c = 0; c < 4; ++c) {
            if (c == skipColumn)
                continue;
            e[n++] = at(m, r, c);
        }
    }
    return e[0] * (e[4] * e[8] - e[5] * e[7]) - e[1] * (e[3] * e[8] - e[5] * e[6]) + e[2] * (e[3] * e[7] - e[4] * e[6]);
}

float cofactor(const Matrix4& m, int row, int column)
{
    float sign = ((row + column) % 2 == 0) ? 1.0f : -1.0f;
    return sign * minor3(m, row, column);
}

}  // namespace

float determinant(const Matrix4& m)
{
    float d = 0.0f;
    for (int c = 0; c < 4; ++c)
        d += at(m, 0, c) * cofactor(m, 0, c);
    return d;
}

Matrix4 inverse(const Matrix4& m)
{
    float d = determinant(m);
    Matrix4 r;
    if (d == 0.0f || !std::isfinite(d)) {
        for (float& e : r.m)
            e = 0.0f;
        return r;
    }
    // inverse(row, column) = cofactor(column, row) / det (the adjugate is the cofactor transpose).
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            r[column * 4 + row] = cofactor(m, column, row) / d;
    return r;
}

Matrix4 transpose(const Matrix4& m)
{
    Matrix4 r;
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            r[column * 4 + row] = m[row * 4 + column];
    return r;
}

Matrix4 composeTransform(Float3 p, Quaternion q, Float3 s)
{
    float xx = q.x * q.x, yy = q.y * q.y, zz = q.z * q.z;
    float xy = q.x * q.y, xz = q.x * q.z, yz = q.y * q.z;
    float wx = q.w * q.x, wy = q.w * q.y, wz = q.w * q.z;
    Matrix4 r;
    r[0] = (1.0f - 2.0f * (yy + zz)) * s.x;
    r[1] = (2.0f * (xy + wz)) * s.x;
    r[2] = (2.0f * (xz - wy)) * s.x;
    r[3] = 0.0f;
    r[4] = (2.0f * (xy - wz)) * s.y;
    r[5] = (1.0f - 2.0f * (xx + zz)) * s.y;
    r[6] = (2.0f * (yz + wx)) * s.y;
    r[7] = 0.0f;
    r[8] = (2.0f * (xz + wy)) * s.z;
    r[9] = (2.0f * (yz - wx)) * s.z;
    r[10] = (1.0f - 2.0f * (xx + yy)) * s.z;
    r[11] = 0.0f;
    r[12] = p.x;
    r[13] = p.y;
    r[14] = p.z;
    r[15] = 1.0f;
    return r;
}

Matrix4 perspective(float fovY, float aspect, float nearDistance, float farDistance)
{
    float t = std::tan(fovY * EnginePi * 0.0055555557f * 0.5f);
    Matrix4 r;
    for (float& e : r.m)
        e = 0.0f;
    r[0] = 1.0f / (aspect * t);
    r[5] = 1.0f / t;
    r[10] = -(farDistance + nearDistance) / (farDistance - nearDistance);
    r[11] = -1.0f;
    r[14] = -2.0f * farDistance * nearDistance / (farDistance - nearDistance);
    return r;
}

Float3 transformPoint(const Matrix4& m, Float3 p)
{
    return {m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12], m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13],
            m[2] * p.x + m[6] * p.y + m[10] * p.z + m[14]};
}

void transformBox(const Matrix4& m, Float3 lo, Float3 hi, Float3& outLo, Float3& outHi)
{
    outLo = outHi = transformPoint(m, lo);
    for (int corner = 1; corner < 8; ++corner) {
        const Float3 p = transformPoint(m, boxCorner(lo, hi, corner));
        outLo = minComponents(outLo, p);
        outHi = maxComponents(outHi, p);
    }
}

Float3 transformVector(const Matrix4& m, Float3 v)
{
    return {m[0] * v.x + m[4] * v.y + m[8] * v.z, m[1] * v.x + m[5] * v.y + m[9] * v.z,
            m[2] * v.x + m[6] * v.y + m[10] * v.z};
}

namespace {

Plane planeFromRows(const Matrix4& m, int rowA, float sign, int rowB)
{
    // rowN = (M[N], M[4+N], M[8+N], M[12+N]); the plane is row3 + sign * rowN.
    Plane p{m[rowA] + sign * m[rowB], m[4 + rowA] + sign * m[4 + rowB], m[8 + rowA] + sign * m[8 + rowB],
            m[12 + rowA] + sign * m[12 + rowB]};
    float l = std::sqrt(p.a * p.a + p.b * p.b + p.c * p.c);
    if (l > 0.0f) {
        p.a /= l;
        p.b /= l;
        p.c /= l;
        p.d /= l;
    }
    return p;
}

Float3 normalOf(const Plane& p)
{
    return {p.a, p.b, p.c};
}

}  // namespace

Float3 frustumRay(const Frustum& frustum, float u, float v)
{
    const Float3* c = frustum.cornerRays;
    const Float3 top = c[Frustum::TopLeft] * (1.0f - u) + c[Frustum::TopRight] * u;
    const Float3 bottom = c[Frustum::BottomLeft] * (1.0f - u) + c[Frustum::BottomRight] * u;
    return top * (1.0f - v) + bottom * v;
}

Frustum extractFrustum(const Matrix4& m)
{
    Frustum f;
    f.planes[Frustum::Left] = planeFromRows(m, 3, 1.0f, 0);
    f.planes[Frustum::Right] = planeFromRows(m, 3, -1.0f, 0);
    f.planes[Frustum::Top] = planeFromRows(m, 3, -1.0f, 1);
    f.planes[Frustum::Bottom] = planeFromRows(m, 3, 1.0f, 1);
    f.planes[Frustum::Near] = planeFromRows(m, 3, 1.0f, 2);
    f.planes[Frustum::Far] = planeFromRows(m, 3, -1.0f, 2);
    Float3 left = normalOf(f.planes[Frustum::Left]);
    Float3 right = normalOf(f.planes[Frustum::Right]);
    Float3 top = normalOf(f.planes[Frustum::Top]);
    Float3 bottom = normalOf(f.planes[Frustum::Bottom]);
    f.cornerRays[Frustum::TopLeft] = normalize(cross(left, top));
    f.cornerRays[Frustum::TopRight] = normalize(cross(top, right));
    f.cornerRays[Frustum::BottomLeft] = normalize(cross(bottom, left));
    f.cornerRays[Frustum::BottomRight] = normalize(cross(right, bottom));
    return f;
}

bool obbInFrustum(const Float3 corners[8], const Frustum& frustum)
{
    for (const Plane& p : frustum.planes) {
        int inside = 0;
        for (int i = 0; i < 8; ++i)
            if (p.a * corners[i].x + p.b * corners[i].y + p.c * corners[i].z + p.d >= 0.0f)
                ++inside;
        if (inside == 0)
            return false;
    }
    return true;
}

}  // namespace Orvanta
