#pragma once
#include "scene/Math.h"

#include <cmath>

namespace Orvanta {

// Scene geometry is expected within this distance of the origin on every axis. The kd-tree build
// tries a split plane every 0.1 units across each node, so its work grows with a scene's extent:
// a scene reaching 1e30 (or infinity) would never finish building. Loaders refuse objects,
// placements and world-space triangles beyond it instead of changing the split search for sane
// scenes.
inline constexpr float kMaxSceneCoordinate = 100000.0f;

inline bool isFinite(const Float3& p)
{
    return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z);
}

// Finite and within kMaxSceneCoordinate on every axis.
inline bool withinSceneExtent(const Float3& p)
{
    return isFinite(p) && std::fabs(p.x) <= kMaxSceneCoordinate && std::fabs(p.y) <= kMaxSceneCoordinate &&
           std::fabs(p.z) <= kMaxSceneCoordinate;
}

}  // namespace Orvanta
