#include "SurfaceTexture.h"

#include <cmath>

namespace Orvanta {

SurfaceMaps renderSurface(const SurfaceTextureDef& def)
{
    int n = def.size;
    SurfaceMaps maps;
    maps.color = Picture(n, n);
    maps.normal = Picture(n, n);
    maps.specular = Picture(n, n);
    std::vector<float> heights(static_cast<size_t>(n) * n);
    double sum[3] = {0, 0, 0};
    double weight = 0;
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            float u = (static_cast<float>(x) + 0.5f) / static_cast<float>(n);
            float v = (static_cast<float>(y) + 0.5f) / static_cast<float>(n);
            SurfaceSample s = def.sample(u, v);
            uint8_t* c = maps.color.at(x, y);
            c[0] = toByte(s.r);
            c[1] = toByte(s.g);
            c[2] = toByte(s.b);
            c[3] = toByte(s.a);
            uint8_t* sp = maps.specular.at(x, y);
            sp[0] = sp[1] = sp[2] = toByte(s.specular);
            sp[3] = 255;
            heights[static_cast<size_t>(y) * n + x] = s.height;
            if (s.a > 0.5f) {
                sum[0] += s.r;
                sum[1] += s.g;
                sum[2] += s.b;
                weight += 1;
            }
        }
    }
    for (int k = 0; k < 3; ++k)
        maps.averageColor[k] = weight > 0 ? static_cast<float>(sum[k] / weight) : 0.5f;
    auto h = [&](int x, int y) {
        x = (x + n) % n;
        y = (y + n) % n;
        return heights[static_cast<size_t>(y) * n + x];
    };
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            float du = (h(x + 1, y) - h(x - 1, y)) * 0.5f * def.bumpStrength;
            float dv = (h(x, y + 1) - h(x, y - 1)) * 0.5f * def.bumpStrength;
            float nx = -du;
            float ny = -dv;
            float nz = 1.0f;
            float len = std::sqrt(nx * nx + ny * ny + nz * nz);
            uint8_t* p = maps.normal.at(x, y);
            p[0] = toByte(nx / len * 0.5f + 0.5f);
            p[1] = toByte(ny / len * 0.5f + 0.5f);
            p[2] = toByte(nz / len * 0.5f + 0.5f);
            p[3] = 255;
        }
    }
    return maps;
}

bool writeSurfaceMaps(const std::string& textureRoot, const SurfaceTextureDef& def, const SurfaceMaps& maps,
                      std::string& error)
{
    std::string base = textureRoot + "/" + def.stem;
    return writePicture(base + "Color.tga", maps.color, def.alpha, error) &&
           writePicture(base + "Normal.tga", maps.normal, false, error) &&
           writePicture(base + "Specular.tga", maps.specular, false, error);
}

}  // namespace Orvanta
