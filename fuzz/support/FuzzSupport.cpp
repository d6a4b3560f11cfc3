#include "support/FuzzSupport.h"

#include "platform/Log.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace OrvantaFuzz {

using namespace Orvanta;

void quietLog()
{
    setLogSink([](const std::string&) {});
}

void enterScratchDirectory(const std::string& stem)
{
    std::string pattern = "/tmp/orvanta-fuzz-" + stem + "-XXXXXX";
    const char* directory = mkdtemp(pattern.data());
    if (!directory || chdir(directory) != 0)
        std::abort();
}

std::vector<uint8_t> bytesOf(const uint8_t* data, size_t size)
{
    return size ? std::vector<uint8_t>(data, data + size) : std::vector<uint8_t>();
}

std::string textOf(const uint8_t* data, size_t size)
{
    return size ? std::string(reinterpret_cast<const char*>(data), size) : std::string();
}

namespace {

void addTriangle(RayTracingGeometry& g, Float3 a, Float3 b, Float3 c, const RtSurface* surface)
{
    RtTriangle t;
    t.index0 = uint32_t(g.vertices.size());
    for (const Float3& p : {a, b, c}) {
        RtVertex v;
        v.position = p;
        g.vertices.push_back(v);
    }
    t.index1 = t.index0 + 1;
    t.index2 = t.index0 + 2;
    t.surface = surface;
    t.boxMin = {std::min({a.x, b.x, c.x}), std::min({a.y, b.y, c.y}), std::min({a.z, b.z, c.z})};
    t.boxMax = {std::max({a.x, b.x, c.x}), std::max({a.y, b.y, c.y}), std::max({a.z, b.z, c.z})};
    g.triangles.push_back(t);
}

void addBox(RayTracingGeometry& g, Float3 lo, Float3 hi, const RtSurface* surface)
{
    const Float3 c[8] = {{lo.x, lo.y, lo.z}, {hi.x, lo.y, lo.z}, {hi.x, lo.y, hi.z}, {lo.x, lo.y, hi.z},
                         {lo.x, hi.y, lo.z}, {hi.x, hi.y, lo.z}, {hi.x, hi.y, hi.z}, {lo.x, hi.y, hi.z}};
    const int faces[6][4] = {{0, 1, 2, 3}, {4, 7, 6, 5}, {0, 4, 5, 1}, {1, 5, 6, 2}, {2, 6, 7, 3}, {3, 7, 4, 0}};
    for (const auto& f : faces) {
        addTriangle(g, c[f[0]], c[f[1]], c[f[2]], surface);
        addTriangle(g, c[f[0]], c[f[2]], c[f[3]], surface);
    }
}

}  // namespace

const RayTracingGeometry& fixedGeometry()
{
    static const RayTracingGeometry geometry = [] {
        RayTracingGeometry g;
        g.surfaces.push_back(RtSurface{});
        RtSurface twoSided;
        twoSided.doubleSided = 1;
        g.surfaces.push_back(twoSided);
        const RtSurface* plain = &g.surfaces[0];
        const RtSurface* both = &g.surfaces[1];
        addTriangle(g, {-4, 0, -4}, {4, 0, -4}, {4, 0, 4}, plain);
        addTriangle(g, {-4, 0, -4}, {4, 0, 4}, {-4, 0, 4}, plain);
        addBox(g, {-2, 0, -2}, {-1, 1.5f, -1}, plain);
        addBox(g, {1, 0, 0.5f}, {2.5f, 0.7f, 2}, both);
        addTriangle(g, {-3, 0.2f, 2}, {0, 2.5f, 3}, {-1, 0.1f, 3.5f}, both);
        addTriangle(g, {0, 0, 0}, {0, 0, 0}, {1, 1, 1}, plain);  // no area: never hit
        return g;
    }();
    return geometry;
}

std::string bundleFileName(size_t index)
{
    return std::to_string(index) + ".shader";
}

std::vector<std::string> splitBundle(const std::string& input)
{
    std::vector<std::string> files;
    const std::string separator = kFileSeparator;
    size_t start = 0;
    while (files.size() + 1 < kMaxBundleFiles) {
        const size_t at = input.find(separator, start);
        if (at == std::string::npos)
            break;
        files.push_back(input.substr(start, at - start));
        start = at + separator.size();
    }
    files.push_back(input.substr(start));
    return files;
}

}  // namespace OrvantaFuzz
