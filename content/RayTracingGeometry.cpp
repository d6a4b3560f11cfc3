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
        flags.isAlphaTested = material->isAlphaTested;
        flags.alphaTestThreshold = material->alphaTestTreshold;
        flags.hasMirrorPass = material->raytracedPass != nullptr;
        flags.optics = material->optics;
    }
    return flags;
}

bool appendInstanceGeometry(RayTracingGeometry& geometry, const std::string& objectPath, Float3 position, Float3 scale,
                            Quaternion orientation, const SurfaceFlagsLookup& flags)
{
    ObjectFileData file;
    std::string error;
    if (!readObjectFile(objectPath, file, error)) {
        logError("ray-tracing geometry skipped: " + error);
        return false;
    }
    if (!appendObjectGeometry(geometry, file, position, scale, orientation, flags)) {
        logError("ray-tracing geometry skipped: " + objectPath + ": placed this way, a vertex lies beyond " +
                 std::to_string(int(kMaxSceneCoordinate)) + " units or is not finite");
        return false;
    }
    return true;
}

bool appendObjectGeometry(RayTracingGeometry& geometry, const ObjectFileData& file, Float3 position, Float3 scale,
                          Quaternion orientation, const SurfaceFlagsLookup& flags)
{
    // Every vertex is placed and checked before anything is added, so a refused placement leaves
    // the geometry as it was (and the kd-tree build never meets a scene of unbounded extent).
    const Matrix4 world = composeTransform(position, orientation, scale);
    for (const ObjectVertex& v : file.vertices)
        if (!withinSceneExtent(transformPoint(world, v.position)))
            return false;
    if (geometry.vertices.size() + file.vertices.size() > UINT32_MAX)
        return false;
    const uint32_t base = static_cast<uint32_t>(geometry.vertices.size());
    // Grow geometrically: a scene appends hundreds of instances, and reserving exactly each time
    // would copy (and fault in afresh) the whole vertex array for every one of them.
    const size_t needed = geometry.vertices.size() + file.vertices.size();
    if (needed > geometry.vertices.capacity())
        geometry.vertices.reserve(std::max(needed, geometry.vertices.capacity() * 2));
    // Normals go through the cofactor of the world matrix, with the determinant's sign, as the
    // G-buffer write transforms them: right under non-uniform scale, and with the same length
    // relative to the tangent frame, so that a normal map tilts the shading normal by the same
    // angle here as in the rasterised frame.
    const Float3 c0{world[0], world[1], world[2]}, c1{world[4], world[5], world[6]}, c2{world[8], world[9], world[10]};
    const float handedness = dot(c0, cross(c1, c2)) < 0.0f ? -1.0f : 1.0f;
    const Float3 k0 = cross(c1, c2) * handedness, k1 = cross(c2, c0) * handedness, k2 = cross(c0, c1) * handedness;
    for (const ObjectVertex& v : file.vertices) {
        RtVertex w;
        w.position = transformPoint(world, v.position);
        w.normal = k0 * v.normal.x + k1 * v.normal.y + k2 * v.normal.z;
        w.tangent = transformVector(world, v.tangent);
        w.binormal = transformVector(world, v.binormal);
        w.texCoord[0] = v.texCoord[0];
        w.texCoord[1] = v.texCoord[1];
        geometry.vertices.push_back(w);
    }

    for (const SubmeshRecord& submesh : file.submeshes) {
        const SurfaceFlags surfaceFlags = flags ? flags("resources/materials/" + submesh.materialName + ".material")
                                                : SurfaceFlags{};
        RtSurface surface;
        if (!submesh.colorTextureName.empty())
            surface.colorImage = findOrLoadImage("resources/textures/" + submesh.colorTextureName, true);
        if (!submesh.normalTextureName.empty())
            surface.normalImage = findOrLoadImage("resources/textures/" + submesh.normalTextureName, false);
        // sRGB-decoded, as the object loader uploads the specular texture.
        if (!submesh.specularTextureName.empty())
            surface.specularImage = findOrLoadImage("resources/textures/" + submesh.specularTextureName, true);
        surface.specularPower = submesh.specularPower;
        surface.doubleSided = surfaceFlags.isDoubleSided ? 1 : 0;
        surface.alphaTested = surfaceFlags.isAlphaTested ? 1 : 0;
        surface.alphaTestThreshold = surfaceFlags.alphaTestThreshold;
        surface.hasMirrorPass = surfaceFlags.hasMirrorPass ? 1 : 0;
        surface.transparent = surfaceFlags.isTransparent ? 1 : 0;
        surface.optics = surfaceFlags.optics;
        geometry.surfaces.push_back(surface);
        const RtSurface* stored = &geometry.surfaces.back();
        std::vector<RtTriangle>& list = surfaceFlags.isTransparent ? geometry.sheets : geometry.triangles;

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
            list.push_back(triangle);
            if (t == submesh.lastTriangle)  // guards a range that ends at the largest u32
                break;
        }
    }
    return true;
}

}  // namespace Orvanta
