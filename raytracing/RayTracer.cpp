#include "raytracing/RayTracer.h"

namespace Orvanta {

RayTracer& rayTracer()
{
    // Never destroyed: triangles and surfaces are referred to by address until the process exits.
    static RayTracer* instance = new RayTracer();
    return *instance;
}

}  // namespace Orvanta
