#include "scene/Camera.h"

namespace Orvanta {

void Camera::updateMatrices()
{
    projectionMatrix = perspective(fieldOfView, aspectRatio, nearDistance, farDistance);

    Float3 f = Orvanta::rotate(orientation, {0, 0, 1});
    Float3 u = Orvanta::rotate(orientation, {0, 1, 0});
    Float3 s = normalize(cross(f, u));
    Float3 e = position;

    // Rows (s, -s.e), (u, -u.e), (-f, f.e), (0, 0, 0, 1), stored column-major. u is taken as the
    // orientation gives it; the unit quaternion keeps it orthogonal to f.
    Matrix4& v = viewMatrix;
    v[0] = s.x;
    v[4] = s.y;
    v[8] = s.z;
    v[12] = -dot(s, e);
    v[1] = u.x;
    v[5] = u.y;
    v[9] = u.z;
    v[13] = -dot(u, e);
    v[2] = -f.x;
    v[6] = -f.y;
    v[10] = -f.z;
    v[14] = dot(f, e);
    v[3] = 0.0f;
    v[7] = 0.0f;
    v[11] = 0.0f;
    v[15] = 1.0f;

    viewProjectionMatrix = multiply(projectionMatrix, viewMatrix);
    frustum = extractFrustum(viewProjectionMatrix);
}

}  // namespace Orvanta
