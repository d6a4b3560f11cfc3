#include "scene/RaytracedRect.h"

#include "platform/Log.h"
#include "scene/Camera.h"
#include "scene/SceneView.h"

#include <algorithm>

namespace Orvanta {

namespace {

void setRect(SceneView& view, float left, float bottom, float right, float top)
{
    view.raytracedRect[0] = left;
    view.raytracedRect[1] = bottom;
    view.raytracedRect[2] = right;
    view.raytracedRect[3] = top;
}

// Applies row `row` of the column-major matrix to (p, 1).
float applyRow(const Matrix4& m, int row, Float3 p)
{
    return m[row] * p.x + m[4 + row] * p.y + m[8 + row] * p.z + m[12 + row];
}

}  // namespace

void computeRaytracedRect(SceneView& view, std::span<const Float3* const> cornerSets)
{
    bool anyCorners = std::any_of(cornerSets.begin(), cornerSets.end(),
                                  [](const Float3* corners) { return corners != nullptr; });
    if (!anyCorners)
        return;
    if (!view.camera) {
        logError("scene view without a camera: the ray-traced area is the whole screen");
        setRect(view, 0.0f, 0.0f, 1.0f, 1.0f);
        return;
    }

    const Matrix4& m = view.camera->viewProjectionMatrix;
    float left = 10000.0f, bottom = 10000.0f, right = -10000.0f, top = -10000.0f;
    bool behind = false;
    for (const Float3* corners : cornerSets) {
        if (!corners)
            continue;
        for (int i = 0; i < 8; ++i) {
            float w = applyRow(m, 3, corners[i]);
            if (w <= 0.0f) {
                // Projection flips behind the eye: any part of the screen may be covered.
                behind = true;
                break;
            }
            float sx = (applyRow(m, 0, corners[i]) / w + 1.0f) * 0.5f;
            float sy = (applyRow(m, 1, corners[i]) / w + 1.0f) * 0.5f;
            left = std::min(left, sx);
            right = std::max(right, sx);
            bottom = std::min(bottom, sy);
            top = std::max(top, sy);
        }
    }

    if (behind) {
        setRect(view, 0.0f, 0.0f, 1.0f, 1.0f);
        return;
    }
    setRect(view, std::clamp(left, 0.0f, 1.0f), std::clamp(bottom, 0.0f, 1.0f), std::clamp(right, 0.0f, 1.0f),
            std::clamp(top, 0.0f, 1.0f));
}

}  // namespace Orvanta
