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
// Images are null where the submesh names none (or the file could not be read); the raster path
// then samples the renderer's stand-ins, and a tracer that shades as it does must too: white for
// colour, a flat normal, and kDefaultSpecularIntensity (gpu/SubmeshMaterial.h) for the specular.
struct RtSurface {
    RtImage* colorImage = nullptr;   // sRGB-decoded, linear
    RtImage* normalImage = nullptr;  // raw bytes / 255, as the normal texture stores them
    // Specular intensity in red, sRGB-decoded as the GL path decodes the specular texture. Null:
    // the intensity is kDefaultSpecularIntensity everywhere.
    RtImage* specularImage = nullptr;
    float specularPower = 0.0f;  // the submesh's, from the object file
    uint8_t doubleSided = 0;
    uint8_t alphaTested = 0;          // the material's isAlphaTested
    float alphaTestThreshold = 0.0f;  // the material's alphaTestTreshold
    uint8_t hasMirrorPass = 0;        // the material has a ray-traced reflection (RAYTRACED) pass
    uint8_t transparent = 0;          // the material's isTransparent: a thin sheet (see sheets)
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
    // The transparent surfaces the frame blends over the picture (the canopy's glass), as thin
    // sheets. They are not in the kd-tree, which the frame's reflections walk: only the reference
    // path tracer meets them, passing light through them by their colour image's coverage.
    std::vector<RtTriangle> sheets;
};

// What the ray tracer needs of a material, looked up by material file path: whether its submeshes
// are traced at all (not transparent) and the material's terms of their RtSurface.
struct SurfaceFlags {
    bool isTransparent = false;
    bool isDoubleSided = false;
    bool isAlphaTested = false;
    float alphaTestThreshold = 0.0f;
    bool hasMirrorPass = false;
    MaterialOptics optics;
};
using SurfaceFlagsLookup = std::function<SurfaceFlags(const std::string& materialPath)>;

// Reads the flags from the material table (getMaterial); needs the context materials need.
SurfaceFlags materialSurfaceFlags(const std::string& materialPath);

// Appends the object's triangles at the instance's world transform (the parentless world matrix of
// a MovableEntity with these values). Transparent submeshes go to the sheets. An object file that
// cannot be read, or a placement that puts a vertex beyond the scene extent (content/SceneExtent.h),
// is reported and contributes nothing; returns false then.
bool appendInstanceGeometry(RayTracingGeometry& geometry, const std::string& objectPath, Float3 position, Float3 scale,
                            Quaternion orientation, const SurfaceFlagsLookup& flags = materialSurfaceFlags);

// The same for an object file already read (a scene places most objects many times). False, with
// nothing added, when the placement puts a vertex beyond the scene extent; the caller reports it.
bool appendObjectGeometry(RayTracingGeometry& geometry, const ObjectFileData& file, Float3 position, Float3 scale,
                          Quaternion orientation, const SurfaceFlagsLookup& flags = materialSurfaceFlags);

}  // namespace Orvanta
