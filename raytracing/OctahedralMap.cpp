#include "raytracing/OctahedralMap.h"

#include <cmath>

namespace Orvanta {

namespace {

float signNotZero(float value)
{
    return value >= 0.0f ? 1.0f : -1.0f;
}

}  // namespace

void octahedralCoordinates(Float3 direction, float& u, float& v)
{
    const float l1 = std::fabs(direction.x) + std::fabs(direction.y) + std::fabs(direction.z);
    float a = direction.x / l1;
    float b = direction.z / l1;
    if (direction.y < 0.0f) {
        const float foldedA = (1.0f - std::fabs(b)) * signNotZero(a);
        const float foldedB = (1.0f - std::fabs(a)) * signNotZero(b);
        a = foldedA;
        b = foldedB;
    }
    u = a * 0.5f + 0.5f;
    v = b * 0.5f + 0.5f;
}

Float3 octahedralDirection(float u, float v)
{
    const float a = u * 2.0f - 1.0f;
    const float b = v * 2.0f - 1.0f;
    Float3 d{a, 1.0f - std::fabs(a) - std::fabs(b), b};
    if (d.y < 0.0f) {
        const float foldedA = (1.0f - std::fabs(b)) * signNotZero(a);
        const float foldedB = (1.0f - std::fabs(a)) * signNotZero(b);
        d.x = foldedA;
        d.z = foldedB;
    }
    return normalize(d);
}

void octahedralBorderSource(int n, int x, int y, int& sourceX, int& sourceY)
{
    // Interior coordinates, -1 and n being the border.
    int i = x - 1;
    int j = y - 1;
    const bool outsideI = i < 0 || i >= n;
    const bool outsideJ = j < 0 || j >= n;
    if (outsideI && outsideJ) {
        // A corner of the square folds onto the opposite corner.
        i = i < 0 ? n - 1 : 0;
        j = j < 0 ? n - 1 : 0;
    } else if (outsideJ) {
        // Beyond the bottom or top edge lies the same edge mirrored.
        i = n - 1 - i;
        j = j < 0 ? 0 : n - 1;
    } else if (outsideI) {
        j = n - 1 - j;
        i = i < 0 ? 0 : n - 1;
    }
    sourceX = i + 1;
    sourceY = j + 1;
}

}  // namespace Orvanta
