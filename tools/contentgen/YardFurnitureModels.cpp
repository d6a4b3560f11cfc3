#include "Models.h"
#include "Noise.h"
#include "scene/Math.h"
#include "Surfaces.h"

#include <cmath>

namespace Orvanta {

// A 4 x 4 m sandbox: wooden border with a seat rim, sand fill.
ObjectFileData buildSandbox()
{
    MeshBuilder mesh;
    mesh.setSurface(Surfaces::Wood);
    mesh.addBox(Float3{-2.0f, 0, -2.0f}, Float3{2.0f, 0.35f, -1.8f});
    mesh.addBox(Float3{-2.0f, 0, 1.8f}, Float3{2.0f, 0.35f, 2.0f});
    mesh.addBox(Float3{-2.0f, 0, -1.8f}, Float3{-1.8f, 0.35f, 1.8f});
    mesh.addBox(Float3{1.8f, 0, -1.8f}, Float3{2.0f, 0.35f, 1.8f});
    mesh.setSurface(Surfaces::Sand);
    mesh.addFace(Float3{0, 0.25f, 0}, Float3{0, 1, 0}, 1.8f, 1.8f, 8, 8);
    return mesh.build("sandbox");
}

// A park bench: wooden slats on painted steel legs, seat facing -z.
ObjectFileData buildBench()
{
    MeshBuilder mesh;
    mesh.setSurface(Surfaces::Wood);
    for (int i = 0; i < 3; ++i) {
        float z = -0.2f + 0.14f * i;
        mesh.addBox(Float3{-0.9f, 0.42f, z}, Float3{0.9f, 0.46f, z + 0.11f});
    }
    for (int i = 0; i < 2; ++i) {
        float y = 0.6f + 0.15f * i;
        mesh.addBox(Float3{-0.9f, y, 0.22f}, Float3{0.9f, y + 0.11f, 0.25f});
    }
    mesh.setSurface(Surfaces::PaintedMetal);
    for (float x : {-0.75f, 0.75f}) {
        mesh.addBox(Float3{x - 0.03f, 0, -0.2f}, Float3{x + 0.03f, 0.42f, -0.15f});
        mesh.addBox(Float3{x - 0.03f, 0, 0.18f}, Float3{x + 0.03f, 0.9f, 0.23f});
    }
    return mesh.build("bench");
}

// The lookout tower: four posts, a deck, railings and a ladder at the back.
ObjectFileData buildTower()
{
    MeshBuilder mesh;
    const float deck = TowerDeckHeight;
    mesh.setSurface(Surfaces::Wood);
    for (float x : {-1.5f, 1.5f})
        for (float z : {-2.3f, 0.7f})
            mesh.addBox(Float3{x - 0.08f, 0, z - 0.08f}, Float3{x + 0.08f, deck + 1.05f, z + 0.08f});
    mesh.addBox(Float3{-1.6f, deck - 0.12f, -2.4f}, Float3{1.6f, deck, 0.8f});
    for (float y : {deck + 0.5f, deck + 1.0f}) {
        mesh.addBox(Float3{-1.6f, y - 0.05f, 0.72f}, Float3{1.6f, y, 0.8f});
        mesh.addBox(Float3{-1.6f, y - 0.05f, -2.4f}, Float3{-1.52f, y, 0.8f});
        mesh.addBox(Float3{1.52f, y - 0.05f, -2.4f}, Float3{1.6f, y, 0.8f});
    }
    for (float x : {-0.3f, 0.3f})
        mesh.addBox(Float3{x - 0.04f, 0, -3.2f}, Float3{x + 0.04f, deck, -3.12f});
    for (int i = 1; i < 15; ++i)
        mesh.addBox(Float3{-0.3f, deck * i / 15.0f, -3.2f}, Float3{0.3f, deck * i / 15.0f + 0.04f, -3.12f});
    return mesh.build("lookout tower");
}

// 2.5 m of picket fence along +x.
ObjectFileData buildFenceSegment()
{
    MeshBuilder mesh;
    mesh.setSurface(Surfaces::Wood);
    mesh.addBox(Float3{0, 0, -0.05f}, Float3{0.1f, 1.1f, 0.05f});
    mesh.addBox(Float3{0.1f, 0.25f, 0.0f}, Float3{2.5f, 0.33f, 0.04f});
    mesh.addBox(Float3{0.1f, 0.75f, 0.0f}, Float3{2.5f, 0.83f, 0.04f});
    for (int i = 0; i < 12; ++i) {
        float x = 0.18f + 0.2f * i;
        mesh.addBox(Float3{x, 0.05f, 0.04f}, Float3{x + 0.09f, 1.0f, 0.06f});
    }
    return mesh.build("fence segment");
}

// Paved paths in the yard frame: from the tower to the entrance, and a cross path.
ObjectFileData buildPaths()
{
    MeshBuilder mesh;
    mesh.setSurface(Surfaces::Paving);
    mesh.addBox(Float3{-1.2f, 0, 2.0f}, Float3{1.2f, 0.04f, BuildingFrontZ});
    mesh.addBox(Float3{-22.0f, 0, 26.0f}, Float3{22.0f, 0.04f, 28.0f});
    mesh.addBox(Float3{-14.0f, 0, BuildingFrontZ - 3.0f}, Float3{14.0f, 0.04f, BuildingFrontZ});
    return mesh.build("paths");
}

ObjectFileData buildPuddle()
{
    MeshBuilder mesh;
    mesh.setSurface(Surfaces::Puddle);
    std::vector<Float3> outline;
    for (int i = 0; i < 24; ++i) {
        float a = -2.0f * EnginePi * i / 24.0f;
        float r = 1.0f + 0.35f * smoothNoise(std::cos(a) * 2.0f + 5.0f, std::sin(a) * 2.0f + 5.0f, 3u);
        outline.push_back(Float3{r * 1.5f * std::cos(a), 0.045f, r * std::sin(a)});
    }
    mesh.addPolygon(outline, Float3{0, 1, 0});
    return mesh.build("puddle");
}

}  // namespace Orvanta
