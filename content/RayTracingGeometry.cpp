#include "content/RayTracingGeometry.h"

#include "content/RtImage.h"
#include "content/SceneExtent.h"
#include "gpu/Material.h"
#include "platform/Log.h"

#include <algorithm>
#include <cstdint>

namespace Orvanta {

SurfaceFlags materialSurfaceFlags(const std::string& materialPath)
{
    SurfaceFlags flags;
    if (const Material* material = getMaterial(materialPath)) {
        flags.isTransparent = material->isTransparent;
        flags.isDoubleSided = material->isDoubleSided;
    }
    return flags;
}

bool appendInstanceGeometry(RayTracingGeometry& geometry, const std::string& objectPath,
                            Float3 position, Float3 scale, Quaternion orientation,
                            const SurfaceFlagsLookup& flags)
{
    ObjectFileData file;
    std::string error;
    if (!readObjectFile(objectPath, file, error)) {
        logError("ray-tracing geometry skipped: " + error);
        return false;
    }

    // Every vertex is placed and checked before anything is added, so a refused instance leaves
    // the geometry as it was.
    const Matrix4 world = composeTransform(position, orientation, scale);
    std::vector<RtVertex> placed;
    placed.reserve(file.vertices.size());
    for (const ObjectVertex& v : file.vertices) {
        RtVertex w;
        w.position = transformPoint(world, v.position);
        w.normal = transformVector(world, v.normal);
        w.tangent = transformVector(world, v.tangent);
        w.binormal = transformVector(world, v.binormal);
        w.texCoord[0] = v.texCoord[0];
        w.texCoord[1] = v.texCoord[1];
        if (!withinSceneExtent(w.position)) {
            logError("ray-tracing geometry skipped: " + objectPath + ": placed this way, a vertex lies beyond " +
                     std::to_string(int(kMaxSceneCoordinate)) + " units or is not finite");
            return false;
        }
        placed.push_back(w);
    }
    if (geometry.vertices.size() + placed.size() > UINT32_MAX) {
        logError("ray-tracing geometry skipped: " + objectPath + ": the scene has more vertices than 32-bit indices reach");
        return false;
    }
    const uint32_t base = static_cast<uint32_t>(geometry.vertices.size());
    geometry.vertices.insert(geometry.vertices.end(), placed.begin(), placed.end());

    for (const SubmeshRecord& submesh : file.submeshes) {
        const SurfaceFlags surfaceFlags = flags ? flags("resources/materials/" + submesh.materialName + ".material")
                                                : SurfaceFlags{};
        if (surfaceFlags.isTransparent)
            continue;
        RtSurface surface;
        if (!submesh.colorTextureName.empty())
            surface.colorImage = findOrLoadImage("resources/textures/" + submesh.colorTextureName, true);
        if (!submesh.normalTextureName.empty())
            surface.normalImage = findOrLoadImage("resources/textures/" + submesh.normalTextureName, false);
        surface.doubleSided = surfaceFlags.isDoubleSided ? 1 : 0;
        geometry.surfaces.push_back(surface);
        const RtSurface* stored = &geometry.surfaces.back();

        for (uint32_t t = submesh.firstTriangle; t <= submesh.lastTriangle; ++t) {
            RtTriangle triangle;
            triangle.index0 = file.indices[3 * size_t(t)] + base;
            triangle.index1 = file.indices[3 * size_t(t) + 1] + base;
            triangle.index2 = file.indices[3 * size_t(t) + 2] + base;
            triangle.surface = stored;
            const Float3& a = geometry.vertices[triangle.index0].position;
            const Float3& b = geometry.vertices[triangle.index1].position;
            const Float3& c = geometry.vertices[triangle.index2].position;
            triangle.boxMin = {std::min({a.x, b.x, c.x}), std::min({a.y, b.y, c.y}), std::min({a.z, b.z, c.z})};
            triangle.boxMax = {std::max({a.x, b.x, c.x}), std::max({a.y, b.y, c.y}), std::max({a.z, b.z, c.z})};
            geometry.triangles.push_back(triangle);
            if (t == submesh.lastTriangle)  // guards a range that ends at the largest u32
                break;
        }
    }
    return true;
}

}  // namespace Orvanta
