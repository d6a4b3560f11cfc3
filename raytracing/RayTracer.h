#pragma once
#include "content/KdTree.h"
#include "content/RayTracingGeometry.h"

namespace Orvanta {

// The CPU ray tracer's scene: world-space geometry filled while the scene loads and the kd-tree
// obtained over it afterwards. Both are read-only once loading has finished.
class RayTracer {
public:
    RayTracingGeometry geometry;
    KdTree kdTree;
};

// The process-wide ray tracer, created on first use and kept until exit.
RayTracer& rayTracer();

}  // namespace Orvanta
