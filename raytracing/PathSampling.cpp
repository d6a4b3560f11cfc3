#include "raytracing/PathSampling.h"

#include <algorithm>
#include <cmath>

namespace Orvanta {

namespace {

Float3 fromLocal(Float3 n, float x, float y, float z)
{
    Float3 t, b;
    orthonormalBasis(n, t, b);
    return t * x + b * y + n * z;
}

// A direction about n with the given cosine and a uniform azimuth.
Float3 aroundAxis(Float3 n, float cosTheta, float u)
{
    const float sinTheta = std::sqrt(std::max(0.0f, 1.0f - cosTheta * cosTheta));
    const float phi = 2.0f * EnginePi * u;
    return fromLocal(n, sinTheta * std::cos(phi), sinTheta * std::sin(phi), cosTheta);
}

}  // namespace

void orthonormalBasis(Float3 n, Float3& tangent, Float3& bitangent)
{
    const float sign = std::copysign(1.0f, n.z);
    const float a = -1.0f / (sign + n.z);
    const float b = n.x * n.y * a;
    tangent = {1.0f + sign * n.x * n.x * a, sign * b, -sign * n.x};
    bitangent = {b, sign + n.y * n.y * a, -n.y};
}

Float3 sampleCosineHemisphere(Float3 n, float u1, float u2)
{
    return aroundAxis(n, std::sqrt(1.0f - u1), u2);
}

Float3 sampleCone(Float3 axis, float cosMax, float u1, float u2)
{
    return aroundAxis(axis, 1.0f - u1 * (1.0f - cosMax), u2);
}

Float3 samplePowerCosine(Float3 n, float power, float u1, float u2)
{
    return aroundAxis(n, std::pow(1.0f - u1, 1.0f / (power + 1.0f)), u2);
}

Float3 reflectAbout(Float3 incident, Float3 n)
{
    return incident - n * (2.0f * dot(incident, n));
}

float luminanceOf(Float3 c)
{
    return 0.2126f * c.x + 0.7152f * c.y + 0.0722f * c.z;
}

}  // namespace Orvanta
