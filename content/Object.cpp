#include "content/Object.h"

#include "content/ObjectFile.h"
#include "gpu/Material.h"
#include "gpu/ResourceCache.h"
#include "gpu/SubmeshMaterial.h"
#include "gpu/Texture.h"
#include "platform/Log.h"

#include <algorithm>

namespace Orvanta {

namespace {

int readCount = 0;

// Paths whose file could not be loaded: asked again, they fail without a second message.
std::vector<std::string>& failedPaths()
{
    static std::vector<std::string> paths;
    return paths;
}

Texture2D* textureOrNull(const std::string& name, bool srgb)
{
    return name.empty() ? nullptr : getTexture("resources/textures/" + name, srgb);
}

SubmeshMaterial* resolveMaterial(const SubmeshRecord& record)
{
    SubmeshMaterial* result = new SubmeshMaterial();
    // Textures are resolved in file order, each before the next; the material follows.
    result->colorTexture = textureOrNull(record.colorTextureName, true);
    result->normalTexture = textureOrNull(record.normalTextureName, false);
    result->specularTexture = textureOrNull(record.specularTextureName, true);
    result->material = getMaterial("resources/materials/" + record.materialName + ".material");
    result->specularPower = record.specularPower;
    return result;
}

// The box around the vertices of a submesh's triangles; the file was checked, so its index range
// and indices are in bounds.
void boundSubmesh(const ObjectFileData& file, Submesh& submesh)
{
    Float3 lo{1e30f, 1e30f, 1e30f};
    Float3 hi{-1e30f, -1e30f, -1e30f};
    for (uint32_t i = submesh.firstIndex; i <= submesh.lastIndex && i < file.indices.size(); ++i) {
        const Float3 p = file.vertices[file.indices[i]].position;
        lo = minComponents(lo, p);
        hi = maxComponents(hi, p);
    }
    submesh.minCorner = lo;
    submesh.maxCorner = hi;
}

Object* loadObject(const std::string& path)
{
    // The file is read and checked as a whole before any GL object or material is made, so a bad
    // file leaves nothing half-built behind.
    ObjectFileData file;
    std::string error;
    ++readCount;
    if (!readObjectFile(path, file, error)) {
        logError("cannot load object: " + error);
        return nullptr;
    }

    Object* object = new Object();
    glGenBuffersARB(1, &object->indexBuffer);
    glGenBuffersARB(1, &object->vertexBuffer);
    object->minCorner = file.minCorner;
    object->maxCorner = file.maxCorner;

    object->submeshes.reserve(file.submeshes.size());
    for (const SubmeshRecord& record : file.submeshes) {
        Submesh submesh;
        submesh.material = resolveMaterial(record);
        submesh.firstIndex = record.firstTriangle * 3;
        submesh.lastIndex = record.lastTriangle * 3 + 2;
        boundSubmesh(file, submesh);
        object->submeshes.push_back(submesh);
    }

    glBindBufferARB(GL_ARRAY_BUFFER_ARB, object->vertexBuffer);
    glBufferDataARB(GL_ARRAY_BUFFER_ARB, file.vertices.size() * sizeof(ObjectVertex), file.vertices.data(),
                    GL_STATIC_DRAW_ARB);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, object->indexBuffer);
    glBufferDataARB(GL_ELEMENT_ARRAY_BUFFER_ARB, file.indices.size() * sizeof(uint32_t), file.indices.data(),
                    GL_STATIC_DRAW_ARB);
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
    return object;
}

}  // namespace

Object* findOrLoadObject(const std::string& path)
{
    KeyedList<Object>& objects = resourceCache().objects;
    if (Object* cached = objects.find(path))
        return cached;
    std::vector<std::string>& failed = failedPaths();
    if (std::find(failed.begin(), failed.end(), path) != failed.end())
        return nullptr;
    Object* object = loadObject(path);
    if (!object) {
        failed.push_back(path);
        return nullptr;
    }
    objects.append(path, object);
    return object;
}

int objectFileReadCount()
{
    return readCount;
}

}  // namespace Orvanta
