#include "support/TracedQuads.h"

#include <algorithm>

namespace OrvantaTest {

using namespace Orvanta;

void addTracedQuad(RayTracingGeometry& g, const RtSurface& surface, Float3 corner, Float3 u, Float3 v)
{
    g.surfaces.push_back(surface);
    const uint32_t first = uint32_t(g.vertices.size());
    const Float3 n = normalize(cross(u, v));
    for (Float3 p : {corner, corner + u, corner + u + v, corner + v}) {
        RtVertex vertex;
        vertex.position = p;
        vertex.normal = n;
        vertex.tangent = normalize(u);
        vertex.binormal = normalize(v);
        g.vertices.push_back(vertex);
    }
    for (uint32_t second : {1u, 2u}) {
        RtTriangle t;
        t.index0 = first;
        t.index1 = first + second;
        t.index2 = first + second + 1;
        t.surface = &g.surfaces.back();
        t.boxMin = t.boxMax = corner;
        for (uint32_t i : {t.index1, t.index2}) {
            const Float3 p = g.vertices[i].position;
            t.boxMin = minComponents(t.boxMin, p);
            t.boxMax = maxComponents(t.boxMax, p);
        }
        g.triangles.push_back(t);
    }
}

Orvanta::RtImage solidImage(float value)
{
    Orvanta::RtImageLevel level;
    level.width = level.height = 1;
    level.texels = {{value, value, value, 1.0f}};
    Orvanta::RtImage image;
    image.levels = {level};
    return image;
}

}  // namespace OrvantaTest
