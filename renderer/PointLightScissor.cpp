#include "renderer/PointLightScissor.h"

#include "scene/Light.h"

#include <algorithm>

namespace Orvanta {

std::vector<Float3> pointLightBoundingPoints(const Light& light)
{
    std::vector<Float3> points;
    float r = light.radius;
    for (int i = 0; i < 8; ++i) {
        Float3 offset{(i & 1) ? r : -r, (i & 2) ? r : -r, (i & 4) ? r : -r};
        points.push_back(light.position + offset);
    }
    return points;
}

ScissorRect projectedScissor(const std::vector<Float3>& points, const Matrix4& m, int width, int height)
{
    if (points.empty())
        return {};
    int minX = width, minY = height, maxX = 0, maxY = 0;
    for (const Float3& p : points) {
        float cx = m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12];
        float cy = m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13];
        float cw = m[3] * p.x + m[7] * p.y + m[11] * p.z + m[15];
        if (cw <= 0.0f)
            return {0, 0, width, height};
        float sx = (cx / cw + 1.0f) * 0.5f * static_cast<float>(width);
        float sy = (cy / cw + 1.0f) * 0.5f * static_cast<float>(height);
        int x = static_cast<int>(std::clamp(sx, 0.0f, static_cast<float>(width)));
        int y = static_cast<int>(std::clamp(sy, 0.0f, static_cast<float>(height)));
        minX = std::min(minX, x);
        minY = std::min(minY, y);
        maxX = std::max(maxX, x);
        maxY = std::max(maxY, y);
    }
    return {minX, minY, std::max(maxX - minX, 0), std::max(maxY - minY, 0)};
}

}  // namespace Orvanta
