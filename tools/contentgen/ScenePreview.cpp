#include "ScenePreview.h"

#include "platform/HeadlessContext.h"
#include "TextureWriter.h"

#include "scene/Math.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace Orvanta {

namespace {

Float3 materialColor(const std::string& m)
{
    static const std::map<std::string, Float3> colors = {
        {"bricks", {0.62f, 0.28f, 0.18f}},     {"plaster", {0.95f, 0.84f, 0.57f}},
        {"roofTiles", {0.65f, 0.25f, 0.13f}},  {"wood", {0.55f, 0.36f, 0.2f}},
        {"grass", {0.26f, 0.42f, 0.12f}},      {"sand", {0.86f, 0.77f, 0.57f}},
        {"paving", {0.59f, 0.57f, 0.53f}},     {"paintedMetal", {0.12f, 0.3f, 0.7f}},
        {"slideSteel", {0.8f, 0.82f, 0.85f}},  {"rubber", {0.62f, 0.2f, 0.14f}},
        {"bark", {0.26f, 0.19f, 0.13f}},       {"leaves", {0.22f, 0.4f, 0.09f}},
        {"windowFrame", {0.93f, 0.93f, 0.9f}}, {"windowGlass", {0.3f, 0.45f, 0.6f}},
        {"puddle", {0.35f, 0.5f, 0.65f}},      {"canopy", {0.8f, 0.9f, 1.0f}},
    };
    auto it = colors.find(m);
    return it != colors.end() ? it->second : Float3{1, 0, 1};
}

}  // namespace

bool writeScenePreview(const KindergartenContent& content, const std::string& pngPath, std::string& error)
{
    const int width = 960, height = 540;
    const Float3 eye{12.504345f, 6.255634f, -6.039891f};
    const Float3 forward = normalize(Float3{-0.62f, 0.29f, 0.73f});
    const Float3 right = normalize(cross(forward, Float3{0, 1, 0}));
    const Float3 up = cross(right, forward);
    const Float3 toSun = normalize(Float3{0.68f, 0.65f, -0.34f});
    const float focal = (height * 0.5f) / std::tan(30.0f * EnginePi / 180.0f);
    std::vector<float> depth(static_cast<size_t>(width) * height, 1e30f);
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            float t = static_cast<float>(y) / height;
            uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
            p[0] = toByte(0.45f + 0.2f * t);
            p[1] = toByte(0.65f + 0.15f * t);
            p[2] = toByte(0.95f);
            p[3] = 255;
        }
    for (const SceneInstanceRecord& instance : content.scene.instances) {
        const ObjectFileData& object = content.objects.at(instance.objectName);
        Matrix4 world = composeTransform(instance.position, instance.orientation, instance.scale);
        for (const SubmeshRecord& sub : object.submeshes) {
            Float3 base = materialColor(sub.materialName);
            for (uint32_t t = sub.firstTriangle; t <= sub.lastTriangle; ++t) {
                Float3 p[3];
                float sx[3], sy[3], sz[3];
                bool behind = false;
                for (int k = 0; k < 3; ++k) {
                    p[k] = transformPoint(world, object.vertices[object.indices[t * 3 + k]].position);
                    Float3 d = p[k] - eye;
                    sz[k] = dot(d, forward);
                    if (sz[k] < 0.1f)
                        behind = true;
                    sx[k] = width * 0.5f + focal * dot(d, right) / sz[k];
                    sy[k] = height * 0.5f - focal * dot(d, up) / sz[k];
                }
                if (behind)
                    continue;
                Float3 n = normalize(cross(p[1] - p[0], p[2] - p[0]));
                if (dot(n, eye - p[0]) < 0)
                    n = -n;
                float light = 0.35f + 0.65f * std::max(0.0f, dot(n, toSun));
                float area = (sx[1] - sx[0]) * (sy[2] - sy[0]) - (sx[2] - sx[0]) * (sy[1] - sy[0]);
                if (std::fabs(area) < 1e-8f)
                    continue;
                int x0 = std::max(0, static_cast<int>(std::floor(std::min({sx[0], sx[1], sx[2]}))));
                int x1 = std::min(width - 1, static_cast<int>(std::ceil(std::max({sx[0], sx[1], sx[2]}))));
                int y0 = std::max(0, static_cast<int>(std::floor(std::min({sy[0], sy[1], sy[2]}))));
                int y1 = std::min(height - 1, static_cast<int>(std::ceil(std::max({sy[0], sy[1], sy[2]}))));
                for (int y = y0; y <= y1; ++y) {
                    for (int x = x0; x <= x1; ++x) {
                        float px = x + 0.5f, py = y + 0.5f;
                        float w0 = ((sx[1] - px) * (sy[2] - py) - (sx[2] - px) * (sy[1] - py)) / area;
                        float w1 = ((sx[2] - px) * (sy[0] - py) - (sx[0] - px) * (sy[2] - py)) / area;
                        float w2 = 1.0f - w0 - w1;
                        if (w0 < 0 || w1 < 0 || w2 < 0)
                            continue;
                        float z = 1.0f / (w0 / sz[0] + w1 / sz[1] + w2 / sz[2]);
                        size_t i = static_cast<size_t>(y) * width + x;
                        if (z >= depth[i])
                            continue;
                        depth[i] = z;
                        float fog = std::exp(-z / 400.0f);
                        uint8_t* c = &rgba[i * 4];
                        c[0] = toByte(base.x * light * fog + 0.6f * (1 - fog));
                        c[1] = toByte(base.y * light * fog + 0.7f * (1 - fog));
                        c[2] = toByte(base.z * light * fog + 0.9f * (1 - fog));
                    }
                }
            }
        }
    }
    return writePng(pngPath, width, height, rgba, error);
}

}  // namespace Orvanta
