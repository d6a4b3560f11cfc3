#include "DemoSurfaces.h"

#include "Noise.h"

#include "scene/Math.h"

#include <algorithm>
#include <cmath>

namespace Orvanta {

namespace {

struct Rgb {
    float r, g, b;
};

Rgb mix(Rgb a, Rgb b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
Rgb scale(Rgb c, float s)
{
    return {c.r * s, c.g * s, c.b * s};
}

SurfaceSample sample(Rgb c, float height, float specular, float alpha = 1.0f)
{
    SurfaceSample s;
    s.r = c.r;
    s.g = c.g;
    s.b = c.b;
    s.a = alpha;
    s.height = height;
    s.specular = specular;
    return s;
}

float smoothstep(float e0, float e1, float x)
{
    float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

float fract(float x)
{
    return x - std::floor(x);
}

// Running-bond masonry: 4 bricks per metre, 12 courses per metre.
SurfaceSample bricks(float u, float v)
{
    float row = v * 12.0f;
    int course = static_cast<int>(std::floor(row));
    float shifted = u * 4.0f + (course % 2 ? 0.5f : 0.0f);
    int column = static_cast<int>(std::floor(shifted));
    float fx = fract(shifted);
    float fy = fract(row);
    float jointX = std::min(fx, 1.0f - fx) * 24.0f;  // distance to the vertical joint in cm
    float jointY = std::min(fy, 1.0f - fy) * 8.3f;
    float joint = std::min(jointX, jointY);
    float mortar = 1.0f - smoothstep(0.4f, 0.9f, joint);
    uint32_t h = hashCoordinates(column % 4, course % 12, 11u);
    float tone = hashToUnit(h);
    Rgb brick = mix(Rgb{0.55f, 0.22f, 0.14f}, Rgb{0.70f, 0.34f, 0.22f}, tone);
    float grain = tileableFbm(u * 32.0f, v * 32.0f, 32, 3, 5u);
    brick = scale(brick, 0.85f + 0.3f * grain);
    Rgb mortarColor = scale(Rgb{0.72f, 0.70f, 0.66f}, 0.9f + 0.2f * grain);
    Rgb c = mix(brick, mortarColor, mortar);
    float height = (1.0f - mortar) * (0.8f + 0.2f * grain);
    return sample(c, height, 0.08f + 0.05f * (1.0f - mortar));
}

SurfaceSample plaster(float u, float v)
{
    float coarse = tileableFbm(u * 8.0f, v * 8.0f, 8, 5, 21u);
    float fine = tileableNoise(u * 128.0f, v * 128.0f, 128, 22u);
    Rgb c = mix(Rgb{0.93f, 0.80f, 0.52f}, Rgb{0.98f, 0.88f, 0.62f}, coarse);
    c = scale(c, 0.94f + 0.08f * fine);
    return sample(c, coarse * 0.4f + fine * 0.6f, 0.05f);
}

// Interlocking clay tiles: 3 across and 3 courses per metre, each course overlapping the next.
SurfaceSample roofTiles(float u, float v)
{
    float row = v * 3.0f;
    int course = static_cast<int>(std::floor(row));
    float across = u * 3.0f;
    int column = static_cast<int>(std::floor(across));
    float fx = fract(across);
    float fy = fract(row);
    float wave = 0.5f + 0.5f * std::cos(fx * 2.0f * EnginePi);  // the tile's curved profile
    float lap = fy;                                             // each tile rises toward its lower edge
    float edge = smoothstep(0.0f, 0.06f, fy);
    float grain = tileableFbm(u * 24.0f, v * 24.0f, 24, 3, 31u);
    float tone = hashToUnit(hashCoordinates(column % 3, course % 3, 32u));
    Rgb c = mix(Rgb{0.58f, 0.20f, 0.10f}, Rgb{0.72f, 0.30f, 0.16f}, tone);
    c = scale(c, (0.75f + 0.25f * wave) * (0.55f + 0.45f * edge) * (0.9f + 0.2f * grain));
    return sample(c, 0.5f * wave + 0.5f * lap * edge, 0.15f + 0.1f * wave);
}

// Planks along u, 8 per metre, with grain lines and per-plank tone.
SurfaceSample wood(float u, float v)
{
    float across = v * 8.0f;
    int plank = static_cast<int>(std::floor(across));
    float fy = fract(across);
    float gap = 1.0f - smoothstep(0.0f, 0.06f, std::min(fy, 1.0f - fy));
    float tone = hashToUnit(hashCoordinates(plank % 8, 0, 41u));
    float grainWarp = tileableFbm(u * 4.0f, v * 16.0f, 4, 16, 3, 42u);
    float grain = 0.5f + 0.5f * std::sin((v * 64.0f + grainWarp * 6.0f) * 2.0f * EnginePi);
    Rgb c = mix(Rgb{0.45f, 0.29f, 0.16f}, Rgb{0.62f, 0.43f, 0.25f}, tone);
    c = scale(c, (0.85f + 0.15f * grain) * (1.0f - 0.6f * gap));
    return sample(c, (1.0f - gap) * (0.9f + 0.1f * grain), 0.12f);
}

SurfaceSample grass(float u, float v)
{
    float blades = tileableNoise(u * 160.0f, v * 40.0f, 160, 40, 51u) * 0.5f +
                   tileableNoise(u * 40.0f, v * 160.0f, 40, 160, 52u) * 0.5f;
    float patches = tileableFbm(u * 4.0f, v * 4.0f, 4, 4, 53u);
    Rgb c = mix(Rgb{0.16f, 0.32f, 0.08f}, Rgb{0.36f, 0.52f, 0.16f}, blades);
    c = mix(c, Rgb{0.45f, 0.47f, 0.20f}, smoothstep(0.6f, 0.85f, patches) * 0.5f);
    return sample(c, blades, 0.04f);
}

SurfaceSample sand(float u, float v)
{
    float grains = tileableNoise(u * 256.0f, v * 256.0f, 256, 61u);
    float ripples = tileableFbm(u * 6.0f, v * 6.0f, 6, 4, 62u);
    Rgb c = mix(Rgb{0.80f, 0.70f, 0.50f}, Rgb{0.92f, 0.84f, 0.64f}, grains * 0.6f + ripples * 0.4f);
    return sample(c, grains * 0.3f + ripples * 0.7f, 0.06f);
}

// Concrete paving stones, 4 x 4 per metre.
SurfaceSample paving(float u, float v)
{
    float fx = fract(u * 4.0f);
    float fy = fract(v * 4.0f);
    float joint = std::min(std::min(fx, 1.0f - fx), std::min(fy, 1.0f - fy)) * 25.0f;
    float gap = 1.0f - smoothstep(0.3f, 1.0f, joint);
    int sx = static_cast<int>(std::floor(u * 4.0f));
    int sy = static_cast<int>(std::floor(v * 4.0f));
    float tone = hashToUnit(hashCoordinates(sx % 4, sy % 4, 71u));
    float grit = tileableNoise(u * 128.0f, v * 128.0f, 128, 72u);
    Rgb c = mix(Rgb{0.52f, 0.50f, 0.47f}, Rgb{0.66f, 0.64f, 0.60f}, tone);
    c = scale(c, (0.9f + 0.15f * grit) * (1.0f - 0.55f * gap));
    return sample(c, (1.0f - gap) * (0.85f + 0.15f * grit), 0.1f);
}

SurfaceSample paintedMetal(float u, float v)
{
    float wear = tileableFbm(u * 6.0f, v * 6.0f, 6, 5, 81u);
    float chipped = smoothstep(0.72f, 0.78f, wear);
    Rgb paint{0.12f, 0.30f, 0.70f};
    Rgb bare{0.45f, 0.45f, 0.46f};
    Rgb c = mix(paint, bare, chipped);
    return sample(c, 1.0f - chipped * 0.5f, 0.35f + 0.3f * chipped);
}

SurfaceSample steel(float u, float v)
{
    float brushed = tileableNoise(u * 4.0f, v * 256.0f, 4, 256, 91u);
    Rgb c = scale(Rgb{0.72f, 0.74f, 0.76f}, 0.9f + 0.1f * brushed);
    return sample(c, brushed * 0.2f, 0.9f);
}

SurfaceSample rubber(float u, float v)
{
    float crumbs = tileableCellular(u * 48.0f, v * 48.0f, 48, 101u);
    float tone = tileableNoise(u * 48.0f, v * 48.0f, 48, 102u);
    Rgb c = mix(Rgb{0.55f, 0.16f, 0.12f}, Rgb{0.70f, 0.24f, 0.16f}, tone);
    return sample(c, std::clamp(1.0f - crumbs, 0.0f, 1.0f), 0.05f);
}

SurfaceSample bark(float u, float v)
{
    float ridges = tileableFbm(u * 12.0f, v * 3.0f, 12, 3, 4, 111u);
    float cracks = smoothstep(0.35f, 0.5f, ridges);
    Rgb c = mix(Rgb{0.16f, 0.11f, 0.07f}, Rgb{0.36f, 0.27f, 0.19f}, cracks);
    return sample(c, cracks, 0.05f);
}

// A cluster of leaves on a transparent background: each cell of a jittered lattice holds one
// elliptical leaf with a midrib; alpha marks the leaf, so foliage cards are alpha-tested.
SurfaceSample leaves(float u, float v)
{
    const int cells = 5;
    float best = 2.0f;
    float bestTone = 0.0f;
    float bestRib = 1.0f;
    int iu = static_cast<int>(std::floor(u * cells));
    int iv = static_cast<int>(std::floor(v * cells));
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            int cx = iu + dx;
            int cy = iv + dy;
            uint32_t h = hashCoordinates((cx + cells) % cells, (cy + cells) % cells, 121u);
            float px = (static_cast<float>(cx) + 0.2f + 0.6f * hashToUnit(h)) / cells;
            float py = (static_cast<float>(cy) + 0.2f + 0.6f * hashToUnit(h * 2654435761u + 7u)) / cells;
            float angle = hashToUnit(h * 40503u + 3u) * 2.0f * EnginePi;
            float ca = std::cos(angle);
            float sa = std::sin(angle);
            float du = (u - px) * cells;
            float dv = (v - py) * cells;
            float along = du * ca + dv * sa;
            float side = -du * sa + dv * ca;
            float d = (along * along) / (0.62f * 0.62f) + (side * side) / (0.30f * 0.30f);
            if (d < best) {
                best = d;
                bestTone = hashToUnit(h * 69069u + 1u);
                bestRib = std::fabs(side) / 0.30f;
            }
        }
    }
    float inside = 1.0f - smoothstep(0.85f, 1.0f, best);
    Rgb c = mix(Rgb{0.13f, 0.30f, 0.06f}, Rgb{0.32f, 0.50f, 0.12f}, bestTone);
    c = scale(c, 0.8f + 0.2f * std::min(1.0f, bestRib * 4.0f));
    float dome = std::max(0.0f, 1.0f - best);
    return sample(c, dome * 0.6f + 0.2f * std::min(1.0f, bestRib * 4.0f), 0.2f, inside);
}

SurfaceSample windowFrame(float u, float v)
{
    float grain = tileableFbm(u * 16.0f, v * 16.0f, 16, 3, 131u);
    Rgb c = scale(Rgb{0.93f, 0.93f, 0.90f}, 0.95f + 0.05f * grain);
    return sample(c, grain * 0.2f, 0.3f);
}

SurfaceSample glass(float u, float v)
{
    float smear = tileableFbm(u * 4.0f, v * 4.0f, 4, 3, 141u);
    Rgb c = mix(Rgb{0.10f, 0.14f, 0.18f}, Rgb{0.14f, 0.18f, 0.22f}, smear);
    return sample(c, smear * 0.05f, 0.95f);
}

// A shallow puddle over dark asphalt: ripples are two crossing wave trains.
SurfaceSample water(float u, float v)
{
    float w = std::sin((u * 6.0f + 0.3f * tileableNoise(u * 4.0f, v * 4.0f, 4, 151u)) * 2.0f * EnginePi) * 0.5f +
              std::sin((v * 5.0f + u * 2.0f) * 2.0f * EnginePi) * 0.5f;
    Rgb c{0.10f, 0.12f, 0.13f};
    return sample(c, 0.5f + 0.25f * w, 0.9f);
}

SurfaceSample canopy(float u, float /*v*/)
{
    float ribs = 1.0f - smoothstep(0.0f, 0.04f, std::min(fract(u * 4.0f), 1.0f - fract(u * 4.0f)));
    Rgb c = mix(Rgb{0.85f, 0.95f, 1.0f}, Rgb{0.7f, 0.8f, 0.85f}, ribs);
    return sample(c, ribs, 0.6f, 0.3f + 0.4f * ribs);
}

SurfaceTextureDef def(const char* name, int size, bool alpha, float bump, SurfaceFunction f)
{
    SurfaceTextureDef d;
    d.stem = std::string("kindergarten/") + name;
    d.size = size;
    d.alpha = alpha;
    d.bumpStrength = bump;
    d.sample = std::move(f);
    return d;
}

}  // namespace

std::vector<SurfaceTextureDef> demoSurfaces()
{
    return {
        def("bricks", 512, false, 6.0f, bricks),
        def("plaster", 256, false, 2.0f, plaster),
        def("roofTiles", 512, false, 8.0f, roofTiles),
        def("wood", 256, false, 4.0f, wood),
        def("grass", 512, false, 3.0f, grass),
        def("sand", 256, false, 2.0f, sand),
        def("paving", 256, false, 5.0f, paving),
        def("paintedMetal", 256, false, 2.0f, paintedMetal),
        def("steel", 256, false, 1.0f, steel),
        def("rubber", 256, false, 2.0f, rubber),
        def("bark", 256, false, 6.0f, bark),
        def("leaves", 256, true, 4.0f, leaves),
        def("windowFrame", 256, false, 1.0f, windowFrame),
        def("glass", 256, false, 1.0f, glass),
        def("water", 256, false, 1.5f, water),
        def("canopy", 256, true, 1.0f, canopy),
    };
}

}  // namespace Orvanta
