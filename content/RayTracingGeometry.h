#pragma once
#include "content/ObjectFile.h"
#include "gpu/MaterialFile.h"
#include "scene/Math.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace Orvanta {

struct RtImage;

// A world-space vertex in the object-file layout.
using RtVertex = ObjectVertex;

// Shading data of one non-transparent submesh of one instance: the same material terms the
// G-buffer write reads (colour, normal and specular images, specular power, alpha test) and the
// material's optics, so that a CPU tracer shades a hit as the raster path shades the pixel.
struct RtSurface {
    RtImage* colorImage = nullptr;
    RtImage* normalImage = nullptr;
    RtImage* specularImage = nullptr;  // specular intensity in red; null: the renderer's fallback value
    float specularPower = 0.0f;
    uint8_t doubleSided = 0;
    uint8_t alphaTested = 0;
    float alphaTestThreshold = 0.0f;
    uint8_t hasMirrorPass = 0;  // the material has a ray-traced reflection pass
    MaterialOptics optics;
};

struct RtTriangle {
    uint32_t index0 = 0;
    uint32_t index1 = 0;
    uint32_t index2 = 0;
    const RtSurface* surface = nullptr;
    Float3 boxMin;
    Float3 boxMax;
};

// The ray tracer's own copy of the scene: every instance pre-transformed to world space.
// Filled while the scene loads, read-only (and read concurrently) afterwards. Surfaces live in a
// deque so their addresses never move; the kd-tree refers to triangles by address, so it must be
// built or loaded only after the last append.
struct RayTracingGeometry {
    std::vector<RtVertex> vertices;
    std::vector<RtTriangle> triangles;
    std::deque<RtSurface> surfaces;
};

// The two material flags the ray tracer needs, looked up by material file path.
struct SurfaceFlags {
    bool isTransparent = false;
    bool isDoubleSided = false;
};
using SurfaceFlagsLookup = std::function<SurfaceFlags(const std::string& materialPath)>;

// Reads the flags from the material table (getMaterial); needs the context materials need.
SurfaceFlags materialSurfaceFlags(const std::string& materialPath);

// Appends the object's triangles at the instance's world transform (the parentless world matrix of
// a MovableEntity with these values). Transparent submeshes contribute nothing. An object file that
// cannot be read, or a placement that puts a vertex beyond the scene extent (content/SceneExtent.h),
// is reported and contributes nothing; returns false then.
bool appendInstanceGeometry(RayTracingGeometry& geometry, const std::string& objectPath,
                            Float3 position, Float3 scale, Quaternion orientation,
                            const SurfaceFlagsLookup& flags = materialSurfaceFlags);

// The same for an object file already read (a scene places most objects many times). False, with
// nothing added, when the placement puts a vertex beyond the scene extent; the caller reports it.
bool appendObjectGeometry(RayTracingGeometry& geometry, const ObjectFileData& file, Float3 position, Float3 scale,
                          Quaternion orientation, const SurfaceFlagsLookup& flags = materialSurfaceFlags);

}  // namespace Orvanta
