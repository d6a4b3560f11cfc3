// The object file reader: an accepted file has every index inside its vertices, every submesh
// range inside its triangles, and finite positions within the scene extent.
#include "content/ObjectFile.h"
#include "content/SceneExtent.h"
#include "support/FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    OrvantaFuzz::quietLog();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace Orvanta;
    ObjectFileData object;
    std::string error;
    if (!parseObjectFile("fuzz.object", OrvantaFuzz::bytesOf(data, size), object, error)) {
        if (error.find("fuzz.object") == std::string::npos)
            __builtin_trap();
        return 0;
    }
    for (uint32_t index : object.indices)
        if (index >= object.vertices.size())
            __builtin_trap();
    for (const SubmeshRecord& submesh : object.submeshes)
        if (submesh.firstTriangle > submesh.lastTriangle || submesh.lastTriangle >= object.triangleCount())
            __builtin_trap();
    for (const ObjectVertex& vertex : object.vertices)
        if (!withinSceneExtent(vertex.position))
            __builtin_trap();
    return 0;
}
