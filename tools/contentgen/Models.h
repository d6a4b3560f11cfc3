#pragma once
#include "content/ObjectFile.h"
#include "YardLayout.h"

#include <cstdint>

namespace Orvanta {

// Each function builds one object of the kindergarten in its own object space (metres, +y up,
// resting on y = 0 unless said otherwise). The scene layout places them.

// The ground over the whole scene square [-64, 64]^2 in world space: flat in the yard, gently
// rolling outside the fence. Placed with the identity transform.
ObjectFileData buildGround(const YardFrame& yard);
// Heights of the ground at a world position (used to seat objects outside the yard).
float groundHeight(const YardFrame& yard, float worldX, float worldZ);

// The sky dome: a sphere of radius 500 around the origin seen from inside.
ObjectFileData buildSky();

// The two-storey kindergarten: front wall at z = 0 facing -z, 26 m along x, 12 m deep.
ObjectFileData buildBuilding();
// The building's walls and roof planes as parallelograms (object space): corners 0, 1 and 2
// define each, corner 3 = corner 0 + corner 2 - corner 1 is listed for reading only.
struct BuildingQuad {
    Float3 corners[4];
};
std::vector<BuildingQuad> buildingOcclusionQuads();

// A broadleaf tree with alpha-tested leaf cards; the seed varies its shape.
ObjectFileData buildTree(uint32_t seed, float height);
// A round shrub of leaf cards.
ObjectFileData buildBush(uint32_t seed);

ObjectFileData buildSlide();
ObjectFileData buildSwings();
ObjectFileData buildClimbingFrame();
ObjectFileData buildSandbox();
ObjectFileData buildBench();
// The lookout tower the start camera stands on; deck at TowerDeckHeight.
ObjectFileData buildTower();
// A 2.5 m picket fence segment along +x.
ObjectFileData buildFenceSegment();
// Paved paths of the yard, in the yard frame (placed at the yard origin and orientation).
ObjectFileData buildPaths();
// A puddle, a flat irregular water surface a few centimetres above the paving.
ObjectFileData buildPuddle();

}  // namespace Orvanta
