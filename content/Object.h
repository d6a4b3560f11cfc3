#pragma once
#include "platform/gl/GlExtensions.h"
#include "scene/Math.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Orvanta {

struct SubmeshMaterial;

// A range of the object's index buffer drawn with one material. Both positions are inclusive
// indices into the index buffer (three per triangle).
struct Submesh {
    SubmeshMaterial* material = nullptr;
    uint32_t firstIndex = 0;
    uint32_t lastIndex = 0;
    // Object-space box around the vertices its triangles use.
    Float3 minCorner;
    Float3 maxCorner;
};

// One loaded triangle mesh: its GPU buffers (56-byte vertices, 32-bit indices), its submeshes in
// file order and its object-space bounding box. The mesh data is not kept on the CPU.
struct Object {
    GLuint indexBuffer = 0;
    GLuint vertexBuffer = 0;
    std::vector<Submesh> submeshes;
    Float3 minCorner;
    Float3 maxCorner;
};

// Returns the object cached under exactly this path string, loading it (buffers, materials,
// textures) and caching it on the first request. A file that is missing, truncated or inconsistent
// is reported once, with its path and the problem, and yields null on this and every later request.
// Needs a current GL context.
Object* findOrLoadObject(const std::string& path);

// Number of object files actually read since start (cache hits and remembered failures do not
// read); lets callers and tests see that a shared object is read once.
int objectFileReadCount();

}  // namespace Orvanta
