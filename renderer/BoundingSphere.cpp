#include "renderer/BoundingSphere.h"

#include <cmath>

namespace Orvanta {

namespace {

float axisValue(Float3 p, int axis)
{
    return axis == 0 ? p.x : axis == 1 ? p.y : p.z;
}

}  // namespace

BoundingSphere ritterBoundingSphere(const Float3* points, int count)
{
    BoundingSphere sphere;
    if (!points || count <= 0)
        return sphere;

    // Extreme points per axis.
    int minimum[3] = {0, 0, 0};
    int maximum[3] = {0, 0, 0};
    for (int axis = 0; axis < 3; ++axis) {
        for (int i = 1; i < count; ++i) {
            float value = axisValue(points[i], axis);
            if (value < axisValue(points[minimum[axis]], axis))
                minimum[axis] = i;
            else if (value > axisValue(points[maximum[axis]], axis))
                maximum[axis] = i;
        }
    }

    // Widest pair; a later axis wins only when strictly wider.
    int widest = 0;
    float widestSquared = -1.0f;
    for (int axis = 0; axis < 3; ++axis) {
        Float3 span = points[maximum[axis]] - points[minimum[axis]];
        float squared = dot(span, span);
        if (squared > widestSquared) {
            widestSquared = squared;
            widest = axis;
        }
    }
    Float3 a = points[minimum[widest]];
    Float3 b = points[maximum[widest]];
    sphere.center = (a + b) * 0.5f;
    sphere.radius = std::sqrt(widestSquared) * 0.5f;

    // Grow towards every point still outside.
    for (int i = 0; i < count; ++i) {
        Float3 offset = points[i] - sphere.center;
        float distance = length(offset);
        if (distance > sphere.radius) {
            sphere.radius = (sphere.radius + distance) * 0.5f;
            sphere.center = sphere.center + offset * ((distance - sphere.radius) / distance);
        }
    }
    return sphere;
}

}  // namespace Orvanta
