// Writes the fuzz targets' seed corpora from the demo content under resources/, and, with
// --regressions, the hostile inputs that crashed or hung earlier versions of the readers.
//
//   orvanta-fuzz-seeds --resources resources --out build-fuzz/seeds
//   orvanta-fuzz-seeds --regressions fuzz/regressions
#include "ImageSeeds.h"

#include "content/KdTree.h"
#include "content/ObjectFile.h"
#include "content/SceneFile.h"
#include "gpu/TextParser.h"
#include "gpu/TgaFile.h"
#include "platform/FileAccess.h"
#include "support/FuzzSupport.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>

namespace fs = std::filesystem;
using namespace Orvanta;
using namespace OrvantaFuzz;

namespace {

// Seeds stay small so that the fuzzer's mutations reach every part of them.
constexpr uintmax_t kMaxSeedBytes = 64 * 1024;

void write(const fs::path& directory, const std::string& name, const std::vector<uint8_t>& bytes)
{
    fs::create_directories(directory);
    std::string error;
    if (!writeFileAtomically((directory / name).string(), bytes, error)) {
        std::fprintf(stderr, "orvanta-fuzz-seeds: %s\n", error.c_str());
        std::exit(1);
    }
}

void write(const fs::path& directory, const std::string& name, const std::string& text)
{
    write(directory, name, std::vector<uint8_t>(text.begin(), text.end()));
}

std::vector<uint8_t> fileBytes(const fs::path& path)
{
    std::vector<uint8_t> bytes;
    std::string problem;
    if (!readRegularFile(path.string(), bytes, problem)) {
        std::fprintf(stderr, "orvanta-fuzz-seeds: %s: %s\n", path.c_str(), problem.c_str());
        std::exit(1);
    }
    return bytes;
}

// Regular files under root with the extension, smallest first, at most kMaxSeedBytes each.
std::vector<fs::path> filesWithExtension(const fs::path& root, const std::string& extension)
{
    std::vector<fs::path> found;
    if (!fs::exists(root))
        return found;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file() && entry.path().extension() == extension && entry.file_size() <= kMaxSeedBytes)
            found.push_back(entry.path());
    std::sort(found.begin(), found.end(), [](const fs::path& a, const fs::path& b) {
        return fs::file_size(a) != fs::file_size(b) ? fs::file_size(a) < fs::file_size(b) : a < b;
    });
    return found;
}

std::string seedName(const fs::path& path)
{
    return path.filename().string();
}

std::string replaceAll(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// A shader file and the files it includes (transitively, each once) as one bundle whose include
// paths name the bundle's own files.
std::string shaderBundle(const fs::path& first)
{
    std::vector<std::string> paths{first.string()};
    for (size_t i = 0; i < paths.size() && paths.size() < kMaxBundleFiles; ++i) {
        std::unique_ptr<TextNode> root = parseFile(paths[i]);
        if (!root)
            continue;
        for (const TextNode& child : root->children)
            if (child.kind == TextNode::Block && child.name == "includes")
                for (const TextNode& file : child.children)
                    if (file.name == "file" && std::find(paths.begin(), paths.end(), file.value) == paths.end() &&
                        paths.size() < kMaxBundleFiles)
                        paths.push_back(file.value);
    }
    std::string bundle;
    for (size_t i = 0; i < paths.size(); ++i) {
        std::vector<uint8_t> bytes = fileBytes(paths[i]);
        std::string text(bytes.begin(), bytes.end());
        for (size_t j = 0; j < paths.size(); ++j)
            text = replaceAll(text, "\"" + paths[j] + "\"", "\"" + bundleFileName(j) + "\"");
        bundle += (i ? kFileSeparator : "") + text;
    }
    return bundle;
}

ObjectFileData quadObject()
{
    ObjectFileData object;
    object.header = "seed quad";
    object.minCorner = {0, 0, 0};
    object.maxCorner = {1, 1, 0};
    for (int i = 0; i < 4; ++i) {
        ObjectVertex v;
        v.position = {float(i & 1), float(i >> 1), 0};
        v.normal = {0, 0, 1};
        object.vertices.push_back(v);
    }
    object.indices = {0, 1, 2, 2, 1, 3};
    SubmeshRecord submesh;
    submesh.materialName = "plaster";
    submesh.colorTextureName = "kindergarten/plaster.tga";
    submesh.specularPower = 8;
    submesh.lastTriangle = 1;
    object.submeshes = {submesh};
    return object;
}

SceneFileData smallScene()
{
    SceneFileData scene;
    scene.sceneTag = "seed";
    SceneInstanceRecord a;
    a.position = {1, 0, 2};
    a.orientation = {0, 0.6f, 0, 0.8f};
    a.objectName = "bench.object";
    scene.instances = {a, a};
    scene.instances[1].objectName = "props/slide.object";
    OcclusionQuad quad;
    quad.corners[0] = {0, 0, 0};
    quad.corners[1] = {1, 0, 0};
    quad.corners[2] = {1, 1, 0};
    quad.corners[3] = {0, 1, 0};
    scene.quads = {quad};
    return scene;
}

std::vector<uint8_t> tinyTga(uint32_t width, uint32_t height, uint32_t bits, uint8_t idLength)
{
    std::vector<uint8_t> bytes(18 + idLength + size_t(width) * height * bits / 8, 0x5A);
    std::fill(bytes.begin(), bytes.begin() + 18, 0);
    bytes[0] = idLength;
    bytes[2] = 2;
    bytes[12] = uint8_t(width);
    bytes[14] = uint8_t(height);
    bytes[16] = uint8_t(bits);
    return bytes;
}

std::vector<uint8_t> fixedTreeBytes(const fs::path& scratch, const RayTracingGeometry& geometry)
{
    KdTree tree;
    tree.geometry = &geometry;
    tree.buildKdTree();
    const std::string path = (scratch / "fixed.kdTree").string();
    if (!tree.saveKdTree(path, kFixedTag))
        std::exit(1);
    std::vector<uint8_t> bytes = fileBytes(path);
    fs::remove(path);
    return bytes;
}

void writeSeeds(const fs::path& resources, const fs::path& out)
{
    for (const fs::path& p : filesWithExtension(resources / "materials", ".material")) {
        write(out / "textParser", seedName(p), fileBytes(p));
        write(out / "material", seedName(p), fileBytes(p));
    }
    for (const fs::path& p : filesWithExtension(resources / "shaders", ".shader")) {
        write(out / "textParser", seedName(p), fileBytes(p));
        write(out / "shaderIncludes", seedName(p), shaderBundle(p));
    }
    std::vector<fs::path> images = filesWithExtension(resources / "textures", ".tga");
    images.resize(std::min<size_t>(images.size(), 12));
    for (const fs::path& p : images)
        write(out / "tga", p.parent_path().filename().string() + "-" + seedName(p), fileBytes(p));
    write(out / "tga", "tiny24.tga", tinyTga(2, 2, 24, 0));
    write(out / "tga", "tiny32-with-id.tga", tinyTga(1, 3, 32, 3));
    for (const fs::path& p : filesWithExtension(resources / "objects", ".object"))
        write(out / "objectFile", seedName(p), fileBytes(p));
    write(out / "objectFile", "quad.object", encodeObjectFile(quadObject()));
    for (const fs::path& p : filesWithExtension(resources / "objects", ".scene"))
        write(out / "sceneFile", seedName(p), fileBytes(p));
    write(out / "sceneFile", "small.scene", encodeSceneFile(smallScene()));
    for (const fs::path& p : filesWithExtension(resources / "camera-paths", ".path"))
        write(out / "cameraPath", seedName(p), fileBytes(p));
    write(out / "cameraPath", "two-keys-crlf.path",
          std::string("# two keys\r\n0 1 2 3 0 0 0 1\r\n\r\n2.5 -1 2e1 +3 0.5 0.5 -0.5 0.5 # turned\r\n"));
    for (const auto& [name, bytes] : imageSeeds(out / "imageFile" / "scratch"))
        write(out / "imageFile", name, bytes);
    fs::remove_all(out / "imageFile" / "scratch");
    fs::create_directories(out / "kdTreeFile");
    write(out / "kdTreeFile", "fixed.kdTree", fixedTreeBytes(out / "kdTreeFile", fixedGeometry()));
}

void putU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value)
{
    std::memcpy(&bytes[at], &value, 4);
}

void putF32(std::vector<uint8_t>& bytes, size_t at, float value)
{
    std::memcpy(&bytes[at], &value, 4);
}

// Inputs that crashed, hung or were silently accepted by earlier readers. Each is replayed by CI.
void writeRegressions(const fs::path& out)
{
    std::string nested;
    for (int i = 0; i < 10000; ++i)
        nested += "a{";
    write(out / "textParser", "nested-braces-10000", nested);
    write(out / "textParser", "unclosed-quote", std::string("shader { code = \"void main() {}\n"));
    std::string material = "material {\n";
    for (int i = 0; i < 20000; ++i)
        material += "pass {\n";
    write(out / "material", "nested-passes-20000", material);
    write(out / "material", "nan-threshold",
          std::string("material { isAlphaTested = true\n alphaTestTreshold = nan }"));

    // A diamond 24 levels deep: each file includes the next one twice.
    std::string diamond;
    for (int level = 0; level < 24; ++level)
        diamond += "shader { includes { file = \"" + bundleFileName(level + 1) + "\"\n file = \"" +
                   bundleFileName(level + 1) + "\" } code = \"// " + std::to_string(level) + "\" }" + kFileSeparator;
    diamond += "shader { code = \"void main() {}\" }";
    write(out / "shaderIncludes", "diamond-24", diamond);
    write(out / "shaderIncludes", "cycle-of-three",
          std::string("shader { includes { file = \"1.shader\" } }") + kFileSeparator +
              "shader { includes { file = \"2.shader\" } }" + kFileSeparator +
              "shader { includes { file = \"0.shader\" } }");

    std::vector<uint8_t> huge = tinyTga(1, 1, 24, 0);
    huge[12] = huge[13] = huge[14] = huge[15] = 0xFF;
    write(out / "tga", "dimensions-beyond-the-file", huge);

    write(out / "objectFile", "empty", std::vector<uint8_t>());
    ObjectFileData object = quadObject();
    object.vertices[1].position.y = std::nanf("");
    write(out / "objectFile", "nan-position", encodeObjectFile(object));
    object = quadObject();
    object.vertices[2].position.x = 1e30f;
    object.maxCorner.x = 1e30f;
    write(out / "objectFile", "position-at-1e30", encodeObjectFile(object));
    object = quadObject();
    object.submeshes[0].colorTextureName = "../../../etc/passwd";
    write(out / "objectFile", "texture-climbing-out", encodeObjectFile(object));

    write(out / "sceneFile", "empty", std::vector<uint8_t>());
    std::vector<uint8_t> scene = encodeSceneFile(smallScene());
    scene.erase(scene.begin() + 4);  // the tag "seed" loses its zero byte
    write(out / "sceneFile", "tag-without-zero", scene);
    SceneFileData far = smallScene();
    far.instances[0].position.x = 1e30f;
    write(out / "sceneFile", "instance-at-1e30", encodeSceneFile(far));
    far.instances[0].position.x = INFINITY;
    write(out / "sceneFile", "instance-at-infinity", encodeSceneFile(far));

    const fs::path scratch = out / "kdTreeFile";
    fs::create_directories(scratch);
    const std::vector<uint8_t> tree = fixedTreeBytes(scratch, fixedGeometry());
    write(scratch, "empty", std::vector<uint8_t>());
    const size_t nodeCountAt = std::strlen(kFixedTag) + 1;
    uint32_t nodeCount = 0;
    std::memcpy(&nodeCount, &tree[nodeCountAt], 4);
    const size_t nodesAt = nodeCountAt + 4;
    const size_t boxesAt = nodesAt + size_t(nodeCount) * 8 + 4;
    const size_t leavesAt = boxesAt + size_t(nodeCount) * 32 + 4;
    // The first leaf with a triangle: its first record's dominant axis becomes 3.
    size_t at = leavesAt;
    uint32_t count = 0;
    for (std::memcpy(&count, &tree[at], 4); count == 0; std::memcpy(&count, &tree[at], 4))
        at += 4;
    std::vector<uint8_t> axis3 = tree;
    putU32(axis3, at + 4 + 16, 3);
    write(scratch, "record-axis-3", axis3);
    std::vector<uint8_t> nanSplit = tree;
    putF32(nanSplit, nodesAt + 4, std::nanf(""));
    write(scratch, "nan-split-plane", nanSplit);
    // The tree of the scene without its last box, under the same tag.
    RayTracingGeometry partial = fixedGeometry();
    partial.triangles.resize(partial.triangles.size() - 14);
    write(scratch, "tree-of-partial-geometry", fixedTreeBytes(scratch, partial));
}

}  // namespace

int main(int argc, char** argv)
{
    quietLog();
    std::map<std::string, std::string> options;
    for (int i = 1; i + 1 < argc; i += 2)
        options[argv[i]] = argv[i + 1];
    if (options.count("--regressions")) {
        writeRegressions(options["--regressions"]);
        return 0;
    }
    if (!options.count("--out")) {
        std::fprintf(stderr, "usage: orvanta-fuzz-seeds --resources DIR --out DIR | --regressions DIR\n");
        return 2;
    }
    writeSeeds(options.count("--resources") ? options["--resources"] : "resources", options["--out"]);
    return 0;
}
