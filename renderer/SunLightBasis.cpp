#include "renderer/SunLightBasis.h"

namespace Orvanta {

namespace {
// Below this squared length (1, 0, 0) x d no longer gives a usable direction: normalising it would
// divide by zero or magnify rounding noise into the basis.
constexpr float degenerateLengthSquared = 1.0e-10f;
}  // namespace

SunLightBasis makeSunLightBasis(Float3 direction)
{
    SunLightBasis basis;
    basis.direction = direction;
    Float3 across = cross(Float3{1.0f, 0.0f, 0.0f}, direction);
    if (dot(across, across) < degenerateLengthSquared)
        across = cross(Float3{0.0f, 0.0f, 1.0f}, direction);
    basis.u = normalize(across);
    basis.v = normalize(cross(direction, basis.u));
    return basis;
}

Matrix4 lightViewMatrix(const SunLightBasis& basis)
{
    const Float3 rows[3] = {basis.v, basis.u, -basis.direction};
    Matrix4 view;
    for (int row = 0; row < 3; ++row) {
        view[0 * 4 + row] = rows[row].x;
        view[1 * 4 + row] = rows[row].y;
        view[2 * 4 + row] = rows[row].z;
        view[3 * 4 + row] = 0.0f;
    }
    return view;
}

}  // namespace Orvanta
