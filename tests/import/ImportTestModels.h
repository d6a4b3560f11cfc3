#pragma once
#include "support/ToolRun.h"
// Small models the import tests write for themselves, and a way to run the command-line tools.
#include "scene/Math.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace OrvantaTest {

ToolRun runImport(const std::vector<std::string>& arguments);

// The four corner colours of the test picture, each filling one quadrant: top left, top right,
// bottom left, bottom right (as seen in the picture, row 0 at the top).
inline constexpr std::array<std::array<uint8_t, 4>, 4> kQuadrantColors{
    {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 0, 255}}};
inline constexpr int kPictureWidth = 12;   // resampled to 16
inline constexpr int kPictureHeight = 10;  // resampled to 8

// An OBJ model in dir/model/ with its MTL and, in dir/pictures/, a 12 x 10 PNG that the MTL
// names as "../pictures/quadrants.png". One object in three materials: a textured quad lying in y = 0 (material
// "painted", its texture coordinates running (0,0) at x = -1, z = -1 to (1,1) at x = 1, z = 1), a
// triangle in material "plain" (a blue diffuse colour, no texture) and one in material "ghost",
// whose colour and specular texture file does not exist. Returns the OBJ's path.
std::string writeTexturedObj(const std::string& dir);
// Source texture coordinate of the textured quad's corner at this position (x, z = ±1).
std::array<float, 2> quadTexCoordAt(Orvanta::Float3 position);

// A box 1 wide (x), 2 deep (y) and 4 tall along +z, from z = 0, with neither normals nor texture
// coordinates, as a z-up modelling program would write it. Returns the OBJ's path.
std::string writeZUpBoxObj(const std::string& dir);

// The source placement of a glTF node as the test file gives it.
struct NodeSource {
    Orvanta::Float3 translation;
    Orvanta::Quaternion rotation;
    Orvanta::Float3 scale{1, 1, 1};
};
// The text of a glTF 2.0 file whose buffer (embedded as base64) holds one unit cube: accessors
// 0 to 3 are its positions, normals, texture coordinates and indices. `sceneJson` gives the
// members "scene", "scenes", "nodes", "meshes", "materials" (and any extensions) as JSON.
std::string cubeGltf(const std::string& sceneJson);
// A glTF 2.0 file (buffer embedded as base64) with one unit cube mesh (24 vertices, 12
// triangles, outward normals, texture coordinates) and one masked, double-sided material. Nodes:
// "SharedA" (kSharedA) and "SharedB" (kSharedB) both place the cube; "Mirror" places it with
// scale (-1, 1, 1) at (0, 0, -5); "Squash" (scale (2, 1, 1)) holds "Turned" (45° about z), whose
// world transform shears. Returns the file's path.
std::string writeSharedMeshGltf(const std::string& dir);
inline const NodeSource kSharedA{{1, 2, 3}, {0.0f, 0.24740396f, 0.0f, 0.96891242f}, {1, 2, 0.5f}};
inline const NodeSource kSharedB{{-4, 0, 1}, {}, {1, 1, 1}};
// The world matrix of "Turned": diag(2, 1, 1) · rotation of 45° about z.
Orvanta::Matrix4 turnedWorldMatrix();

}  // namespace OrvantaTest

#include "content/ObjectFile.h"
#include "content/SceneFile.h"

#include <map>

namespace OrvantaTest {

// What an import wrote, read back with the engine's readers.
struct ImportResult {
    Orvanta::SceneFileData scene;
    std::map<std::string, Orvanta::ObjectFileData> objects;  // by objectName
};
// Reads the scene and every object it places; failures are test failures.
ImportResult readImport(const std::string& scenePath);

// Checks the promises every imported mesh keeps: unit, orthogonal tangent frames whose tangent
// points along +s and binormal along +t, and triangles counter-clockwise around their normals.
void expectSoundMesh(const Orvanta::ObjectFileData& object, const std::string& name);

// The whole content of a file ("" when it cannot be read).
std::string fileBytes(const std::string& path);

}  // namespace OrvantaTest
