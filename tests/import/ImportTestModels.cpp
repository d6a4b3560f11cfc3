#include "ImportTestModels.h"

#include "platform/HeadlessContext.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numbers>

namespace OrvantaTest {

using namespace Orvanta;

namespace {

void writeText(const std::string& path, const std::string& text)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

std::string base64(const std::vector<uint8_t>& bytes)
{
    static const char* alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    for (size_t i = 0; i < bytes.size(); i += 3) {
        const uint32_t n = (uint32_t(bytes[i]) << 16) | (i + 1 < bytes.size() ? uint32_t(bytes[i + 1]) << 8 : 0) |
                           (i + 2 < bytes.size() ? uint32_t(bytes[i + 2]) : 0);
        out += alphabet[(n >> 18) & 63];
        out += alphabet[(n >> 12) & 63];
        out += i + 1 < bytes.size() ? alphabet[(n >> 6) & 63] : '=';
        out += i + 2 < bytes.size() ? alphabet[n & 63] : '=';
    }
    return out;
}

template <typename T>
void append(std::vector<uint8_t>& bytes, const std::vector<T>& values)
{
    const uint8_t* p = reinterpret_cast<const uint8_t*>(values.data());
    bytes.insert(bytes.end(), p, p + values.size() * sizeof(T));
}

}  // namespace

ToolRun runImport(const std::vector<std::string>& arguments)
{
    return runTool(ORVANTA_IMPORT_PATH, arguments);
}

std::string writeTexturedObj(const std::string& dir)
{
    std::vector<uint8_t> rgba(size_t(kPictureWidth) * kPictureHeight * 4);
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x) {
            const int quadrant = (y >= kPictureHeight / 2 ? 2 : 0) + (x >= kPictureWidth / 2 ? 1 : 0);
            std::memcpy(&rgba[(size_t(y) * kPictureWidth + x) * 4], kQuadrantColors[quadrant].data(), 4);
        }
    std::filesystem::create_directories(dir + "/pictures");
    std::string error;
    if (!writePng(dir + "/pictures/quadrants.png", kPictureWidth, kPictureHeight, rgba, error))
        return "";

    writeText(dir + "/model/quad.mtl", "newmtl painted\nKd 1 1 1\nmap_Kd ../pictures/quadrants.png\n"
                                       "newmtl plain\nKd 0.2 0.4 0.8\n"
                                       "newmtl ghost\nKd 1 1 1\nmap_Kd ghost.png\nmap_Ks ghost.png\n");
    writeText(dir + "/model/quad.obj", "mtllib quad.mtl\n"
                                       "v -1 0 -1\nv 1 0 -1\nv 1 0 1\nv -1 0 1\n"
                                       "v 3 0 0\nv 4 0 0\nv 3 1 0\n"
                                       "v 5 0 0\nv 6 0 0\nv 5 1 0\n"
                                       "vt 0 0\nvt 1 0\nvt 1 1\nvt 0 1\n"
                                       "vn 0 1 0\nvn 0 0 1\n"
                                       "o quad\nusemtl painted\nf 1/1/1 4/4/1 3/3/1\nf 1/1/1 3/3/1 2/2/1\n"
                                       "usemtl plain\nf 5/1/2 6/2/2 7/3/2\n"
                                       "usemtl ghost\nf 8/1/2 9/2/2 10/3/2\n");
    return dir + "/model/quad.obj";
}

std::array<float, 2> quadTexCoordAt(Float3 p)
{
    return {p.x > 0.0f ? 1.0f : 0.0f, p.z > 0.0f ? 1.0f : 0.0f};
}

std::string writeZUpBoxObj(const std::string& dir)
{
    std::string text;
    for (int i = 0; i < 8; ++i) {
        char line[64];
        std::snprintf(line, sizeof line, "v %g %g %g\n", (i & 1) ? 0.5 : -0.5, (i & 2) ? 1.0 : -1.0,
                      (i & 4) ? 4.0 : 0.0);
        text += line;
    }
    // Corner index (1-based) = 1 + x + 2y + 4z; faces counter-clockwise seen from outside.
    text += "f 1 3 4 2\nf 5 6 8 7\nf 1 2 6 5\nf 3 7 8 4\nf 1 5 7 3\nf 2 4 8 6\n";
    writeText(dir + "/zup/tower.obj", text);
    return dir + "/zup/tower.obj";
}

Matrix4 turnedWorldMatrix()
{
    const Matrix4 squash = composeTransform({}, {}, {2, 1, 1});
    const Matrix4 turn = composeTransform({}, fromAxisAngle({0, 0, 1}, std::numbers::pi_v<float> / 4), {1, 1, 1});
    return multiply(squash, turn);
}

std::string cubeGltf(const std::string& sceneJson)
{
    // A unit cube: per face four vertices with the face's normal, counter-clockwise outside.
    std::vector<float> positions, normals, texCoords;
    std::vector<uint16_t> indices;
    const int axes[6][3] = {{0, 1, 2}, {0, 1, 2}, {1, 2, 0}, {1, 2, 0}, {2, 0, 1}, {2, 0, 1}};
    for (int face = 0; face < 6; ++face) {
        const float sign = face % 2 ? -1.0f : 1.0f;
        const int n = axes[face][0], u = axes[face][1], v = axes[face][2];
        const uint16_t base = uint16_t(positions.size() / 3);
        const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        for (const auto& c : corners) {
            float p[3], nn[3] = {0, 0, 0};
            p[n] = 0.5f * sign;
            p[u] = 0.5f * c[0] * sign;  // mirrored faces flip u to stay counter-clockwise
            p[v] = 0.5f * c[1];
            nn[n] = sign;
            positions.insert(positions.end(), p, p + 3);
            normals.insert(normals.end(), nn, nn + 3);
            texCoords.insert(texCoords.end(), {0.5f + 0.5f * c[0], 0.5f - 0.5f * c[1]});
        }
        indices.insert(indices.end(),
                       {base, uint16_t(base + 1), uint16_t(base + 2), base, uint16_t(base + 2), uint16_t(base + 3)});
    }
    std::vector<uint8_t> buffer;
    append(buffer, positions);
    append(buffer, normals);
    append(buffer, texCoords);
    append(buffer, indices);
    const size_t positionBytes = positions.size() * 4, normalBytes = normals.size() * 4,
                 texBytes = texCoords.size() * 4, indexBytes = indices.size() * 2;

    return "{\"asset\":{\"version\":\"2.0\"}," + sceneJson + "," +
           "\"buffers\":[{\"byteLength\":" + std::to_string(buffer.size()) +
           ",\"uri\":\"data:application/octet-stream;base64," + base64(buffer) + "\"}]," + "\"bufferViews\":[" +
           "{\"buffer\":0,\"byteOffset\":0,\"byteLength\":" + std::to_string(positionBytes) + "}," +
           "{\"buffer\":0,\"byteOffset\":" + std::to_string(positionBytes) +
           ",\"byteLength\":" + std::to_string(normalBytes) + "}," +
           "{\"buffer\":0,\"byteOffset\":" + std::to_string(positionBytes + normalBytes) +
           ",\"byteLength\":" + std::to_string(texBytes) + "}," +
           "{\"buffer\":0,\"byteOffset\":" + std::to_string(positionBytes + normalBytes + texBytes) +
           ",\"byteLength\":" + std::to_string(indexBytes) + "}]," + "\"accessors\":[" +
           "{\"bufferView\":0,\"componentType\":5126,\"count\":24,\"type\":\"VEC3\"," +
           "\"min\":[-0.5,-0.5,-0.5],\"max\":[0.5,0.5,0.5]}," +
           "{\"bufferView\":1,\"componentType\":5126,\"count\":24,\"type\":\"VEC3\"}," +
           "{\"bufferView\":2,\"componentType\":5126,\"count\":24,\"type\":\"VEC2\"}," +
           "{\"bufferView\":3,\"componentType\":5123,\"count\":36,\"type\":\"SCALAR\"}]}";
}

std::string writeSharedMeshGltf(const std::string& dir)
{
    auto vec = [](std::initializer_list<float> values) {
        std::string s = "[";
        for (float v : values) {
            char text[32];
            std::snprintf(text, sizeof text, "%s%.9g", s.size() > 1 ? "," : "", double(v));
            s += text;
        }
        return s + "]";
    };
    const NodeSource& a = kSharedA;
    const NodeSource& b = kSharedB;
    const std::string sceneJson =
        std::string("\"scene\":0,\"scenes\":[{\"nodes\":[0,1,2,3]}],\"nodes\":[") +
        "{\"name\":\"SharedA\",\"mesh\":0,\"translation\":" + vec({a.translation.x, a.translation.y, a.translation.z}) +
        ",\"rotation\":" + vec({a.rotation.x, a.rotation.y, a.rotation.z, a.rotation.w}) +
        ",\"scale\":" + vec({a.scale.x, a.scale.y, a.scale.z}) + "}," +
        "{\"name\":\"SharedB\",\"mesh\":0,\"translation\":" + vec({b.translation.x, b.translation.y, b.translation.z}) +
        "}," + "{\"name\":\"Mirror\",\"mesh\":0,\"translation\":[0,0,-5],\"scale\":[-1,1,1]}," +
        "{\"name\":\"Squash\",\"scale\":[2,1,1],\"children\":[4]}," + "{\"name\":\"Turned\",\"mesh\":0,\"rotation\":" +
        vec({0.0f, 0.0f, std::sin(std::numbers::pi_v<float> / 8), std::cos(std::numbers::pi_v<float> / 8)}) + "}]," +
        "\"meshes\":[{\"name\":\"Cube\",\"primitives\":[{\"attributes\":{\"POSITION\":0,\"NORMAL\":1,\"TEXCOORD_0\":"
        "2},"
        "\"indices\":3,\"material\":0}]}]," +
        "\"materials\":[{\"name\":\"Fence\",\"alphaMode\":\"MASK\",\"alphaCutoff\":0.3,\"doubleSided\":true,"
        "\"pbrMetallicRoughness\":{\"baseColorFactor\":[1,0.5,0.25,1]}}]";
    writeText(dir + "/gltf/cubes.gltf", cubeGltf(sceneJson));
    return dir + "/gltf/cubes.gltf";
}

}  // namespace OrvantaTest

#include <gtest/gtest.h>

namespace OrvantaTest {

ImportResult readImport(const std::string& scenePath)
{
    ImportResult result;
    std::string error;
    EXPECT_TRUE(readSceneFile(scenePath, result.scene, error)) << error;
    for (const SceneInstanceRecord& record : result.scene.instances) {
        if (result.objects.count(record.objectName))
            continue;
        ObjectFileData data;
        EXPECT_TRUE(readObjectFile(sceneDirectory(scenePath) + record.objectName, data, error)) << error;
        result.objects[record.objectName] = std::move(data);
    }
    return result;
}

void expectSoundMesh(const ObjectFileData& object, const std::string& name)
{
    for (const ObjectVertex& v : object.vertices) {
        EXPECT_NEAR(length(v.normal), 1.0f, 1e-4f) << name;
        EXPECT_NEAR(length(v.tangent), 1.0f, 1e-4f) << name;
        EXPECT_NEAR(length(v.binormal), 1.0f, 1e-4f) << name;
        EXPECT_NEAR(dot(v.normal, v.tangent), 0.0f, 1e-4f) << name;
        EXPECT_NEAR(dot(v.normal, v.binormal), 0.0f, 1e-4f) << name;
    }
    for (size_t i = 0; i + 2 < object.indices.size(); i += 3) {
        const ObjectVertex& a = object.vertices[object.indices[i]];
        const ObjectVertex& b = object.vertices[object.indices[i + 1]];
        const ObjectVertex& c = object.vertices[object.indices[i + 2]];
        const Float3 e1 = b.position - a.position, e2 = c.position - a.position;
        EXPECT_GT(dot(cross(e1, e2), a.normal + b.normal + c.normal), 0.0f) << name << " triangle " << i / 3;
        // Texture-space directions of the triangle: dP/ds and dP/dt.
        const float s1 = b.texCoord[0] - a.texCoord[0], t1 = b.texCoord[1] - a.texCoord[1];
        const float s2 = c.texCoord[0] - a.texCoord[0], t2 = c.texCoord[1] - a.texCoord[1];
        const float det = s1 * t2 - s2 * t1;
        if (std::fabs(det) < 1e-8f)
            continue;
        const Float3 alongS = (e1 * t2 - e2 * t1) / det, alongT = (e2 * s1 - e1 * s2) / det;
        EXPECT_GT(dot(a.tangent, alongS), 0.0f) << name << " triangle " << i / 3;
        EXPECT_GT(dot(a.binormal, alongT), 0.0f) << name << " triangle " << i / 3;
    }
}

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return in ? std::string((std::istreambuf_iterator<char>(in)), {}) : std::string();
}

}  // namespace OrvantaTest
