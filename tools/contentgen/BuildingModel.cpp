#include "FacadeBuilder.h"
#include "Models.h"
#include "Surfaces.h"

namespace Orvanta {

namespace {

constexpr float Width = 26.0f;
constexpr float Depth = 12.0f;
constexpr float WallHeight = 6.8f;
constexpr float StoreyHeight = 3.4f;
constexpr float RidgeHeight = 10.3f;
constexpr float Overhang = 0.6f;

std::vector<WallOpening> windowRows(float length, int columns, bool door)
{
    std::vector<WallOpening> openings;
    float spacing = length / static_cast<float>(columns);
    for (int i = 0; i < columns; ++i) {
        float c = spacing * (static_cast<float>(i) + 0.5f);
        bool doorHere = door && i == columns / 2;
        if (doorHere)
            openings.push_back({c - 0.9f, c + 0.9f, 0.0f, 2.4f, true});
        else
            openings.push_back({c - 0.8f, c + 0.8f, 0.9f, 2.6f, false});
        openings.push_back({c - 0.8f, c + 0.8f, StoreyHeight + 0.8f, StoreyHeight + 2.5f, false});
    }
    return openings;
}

}  // namespace

ObjectFileData buildBuilding()
{
    MeshBuilder mesh;
    const float hw = Width * 0.5f;
    // Walls, counter-clockwise around the footprint seen from above, each seen from outside.
    WallLayout front{{hw, 0, 0}, {-1, 0, 0}, Width, WallHeight, 0.3f, StoreyHeight, windowRows(Width, 7, true)};
    WallLayout back{{-hw, 0, Depth}, {1, 0, 0}, Width, WallHeight, 0.3f, StoreyHeight, windowRows(Width, 7, false)};
    WallLayout left{{hw, 0, Depth}, {0, 0, -1}, Depth, WallHeight, 0.3f, StoreyHeight, windowRows(Depth, 2, false)};
    WallLayout right{{-hw, 0, 0}, {0, 0, 1}, Depth, WallHeight, 0.3f, StoreyHeight, windowRows(Depth, 2, false)};
    for (const WallLayout* w : {&front, &back, &left, &right})
        buildWall(mesh, *w);

    // Gables above the side walls.
    mesh.setSurface(Surfaces::Plaster);
    for (float side : {-1.0f, 1.0f}) {
        float x = side * hw;
        mesh.addPolygon({{x, WallHeight, 0}, {x, WallHeight, Depth}, {x, RidgeHeight, Depth * 0.5f}},
                        Float3{side, 0, 0});
    }
    // Floor and ceilings close the rooms seen through the windows.
    mesh.setSurface(Surfaces::Wood);
    mesh.addFace(Float3{0, 0.02f, Depth * 0.5f}, Float3{0, 1, 0}, hw - 0.3f, Depth * 0.5f - 0.3f, 8, 4);
    mesh.addFace(Float3{0, StoreyHeight + 0.02f, Depth * 0.5f}, Float3{0, 1, 0}, hw - 0.3f, Depth * 0.5f - 0.3f, 8, 4);
    mesh.setSurface(Surfaces::Plaster);
    mesh.addFace(Float3{0, StoreyHeight - 0.02f, Depth * 0.5f}, Float3{0, -1, 0}, hw - 0.3f, Depth * 0.5f - 0.3f, 8, 4);
    mesh.addFace(Float3{0, WallHeight - 0.02f, Depth * 0.5f}, Float3{0, -1, 0}, hw - 0.3f, Depth * 0.5f - 0.3f, 8, 4);

    // Gable roof with overhangs: tiled top, wooden soffit below.
    float slope = (RidgeHeight - WallHeight) / (Depth * 0.5f);
    float eave = WallHeight - slope * Overhang;
    float rx = hw + Overhang;
    float run = Depth * 0.5f + Overhang;
    float rise = RidgeHeight - eave;
    mesh.setSurface(Surfaces::RoofTiles);
    mesh.addQuad({rx, eave + 0.2f, -Overhang}, {-2 * rx, 0, 0}, {0, rise, run}, 0, 0, 12, 4);
    mesh.addQuad({-rx, eave + 0.2f, Depth + Overhang}, {2 * rx, 0, 0}, {0, rise, -run}, 0, 0, 12, 4);
    mesh.setSurface(Surfaces::Wood);
    mesh.addQuad({-rx, eave, -Overhang}, {2 * rx, 0, 0}, {0, rise, run}, 0, 0, 6, 2);
    mesh.addQuad({rx, eave, Depth + Overhang}, {-2 * rx, 0, 0}, {0, rise, -run}, 0, 0, 6, 2);
    // Fascias, facing out over the eaves.
    mesh.addQuad({rx, eave, -Overhang}, {-2 * rx, 0, 0}, {0, 0.2f, 0}, 0, 0);
    mesh.addQuad({-rx, eave, Depth + Overhang}, {2 * rx, 0, 0}, {0, 0.2f, 0}, 0, 0);
    for (float side : {-1.0f, 1.0f}) {
        float x = side * rx;
        mesh.addPolygon({{x, eave, -Overhang},
                         {x, eave + 0.2f, -Overhang},
                         {x, RidgeHeight + 0.2f, Depth * 0.5f},
                         {x, RidgeHeight, Depth * 0.5f}},
                        Float3{side, 0, 0});
        mesh.addPolygon({{x, eave, Depth + Overhang},
                         {x, RidgeHeight, Depth * 0.5f},
                         {x, RidgeHeight + 0.2f, Depth * 0.5f},
                         {x, eave + 0.2f, Depth + Overhang}},
                        Float3{side, 0, 0});
    }

    // Translucent canopy over the entrance on two brackets.
    mesh.setSurface(Surfaces::PaintedMetal);
    for (float x : {-1.4f, 1.4f})
        mesh.addCylinder(Float3{x, 2.75f, 0}, Float3{0, 0, -1.5f}, 0.04f, 8, true);
    mesh.setSurface(Surfaces::Canopy);
    mesh.addBox(Float3{-1.6f, 2.8f, -1.6f}, Float3{1.6f, 2.84f, 0});
    return mesh.build("kindergarten building");
}

std::vector<BuildingQuad> buildingOcclusionQuads()
{
    const float hw = Width * 0.5f;
    float slope = (RidgeHeight - WallHeight) / (Depth * 0.5f);
    float eave = WallHeight - slope * Overhang;
    float rx = hw + Overhang;
    std::vector<BuildingQuad> quads;
    // Each wall's outer face as rectangles around its windows, so that the sky reaches the rooms
    // through them: full-length strips below, between and above the two window rows, and piers
    // from the lower row's sill to the upper row's lintel between the windows (the windows of
    // both rows line up). A door has a leaf: its part of the lower row is closed.
    struct Wall {
        Float3 start;
        Float3 direction;
        float length;
        std::vector<WallOpening> openings;
    };
    const Wall walls[] = {{{hw, 0, 0}, {-1, 0, 0}, Width, windowRows(Width, 7, true)},
                          {{-hw, 0, Depth}, {1, 0, 0}, Width, windowRows(Width, 7, false)},
                          {{hw, 0, Depth}, {0, 0, -1}, Depth, windowRows(Depth, 2, false)},
                          {{-hw, 0, 0}, {0, 0, 1}, Depth, windowRows(Depth, 2, false)}};
    const float lowerSill = 0.9f;
    const float lowerLintel = 2.6f;
    const float upperSill = StoreyHeight + 0.8f;
    const float upperLintel = StoreyHeight + 2.5f;
    // The door leaf sits in its opening behind the wall's face; its quad lies just behind the
    // leaf, so that the leaf and the opening's sides are outside and see the sky.
    const float doorQuadDepth = OpeningRecess + 0.05f;
    for (const Wall& wall : walls) {
        const Float3 inward = cross(Float3{0, 1, 0}, wall.direction);
        auto rectangle = [&](float s0, float s1, float y0, float y1, float depth = 0.0f) {
            Float3 a = wall.start + wall.direction * s0 + inward * depth;
            Float3 b = wall.start + wall.direction * s1 + inward * depth;
            quads.push_back({{{b.x, y0, b.z}, {a.x, y0, a.z}, {a.x, y1, a.z}, {b.x, y1, b.z}}});
        };
        float stripFrom = 0.0f;
        for (const WallOpening& o : wall.openings) {
            if (o.isDoor) {
                rectangle(stripFrom, o.left, 0.0f, lowerSill);
                rectangle(o.left, o.right, 0.0f, lowerLintel, doorQuadDepth);
                stripFrom = o.right;
            }
        }
        rectangle(stripFrom, wall.length, 0.0f, lowerSill);
        rectangle(0.0f, wall.length, lowerLintel, upperSill);
        rectangle(0.0f, wall.length, upperLintel, WallHeight);
        float solidFrom = 0.0f;
        for (const WallOpening& o : wall.openings) {
            if (o.isDoor)
                continue;
            if (o.bottom != upperSill)
                continue;
            rectangle(solidFrom, o.left, lowerSill, upperLintel);
            solidFrom = o.right;
        }
        rectangle(solidFrom, wall.length, lowerSill, upperLintel);
    }
    // The roof planes, and each gable triangle as two parallelograms whose lower halves lie in
    // the side wall's plane below the eaves.
    quads.push_back({{{rx, eave, -Overhang},
                      {-rx, eave, -Overhang},
                      {-rx, RidgeHeight, Depth * 0.5f},
                      {rx, RidgeHeight, Depth * 0.5f}}});
    quads.push_back({{{-rx, eave, Depth + Overhang},
                      {rx, eave, Depth + Overhang},
                      {rx, RidgeHeight, Depth * 0.5f},
                      {-rx, RidgeHeight, Depth * 0.5f}}});
    const float below = 2.0f * WallHeight - RidgeHeight;
    for (float x : {-hw, hw})
        for (float z : {0.0f, Depth})
            quads.push_back(
                {{{x, WallHeight, z}, {x, below, z}, {x, WallHeight, Depth * 0.5f}, {x, RidgeHeight, Depth * 0.5f}}});
    return quads;
}

}  // namespace Orvanta
