#pragma once
#include "MeshBuilder.h"

#include <vector>

namespace Orvanta {

// A rectangular opening in a wall, in wall coordinates (metres from the wall's left end as seen
// from outside, and from its foot).
struct WallOpening {
    float left, right, bottom, top;
    bool isDoor = false;
};

// A straight wall of a given thickness with openings: the outer face is split into solid
// rectangles around the openings (material by height band), each opening gets reveals, a frame
// and a pane (or a door leaf), and the inner face closes the room.
struct WallLayout {
    Float3 start;      // outer face, left end at the foot, seen from outside
    Float3 direction;  // unit, horizontal, to the right as seen from outside
    float length = 0;
    float height = 0;
    float thickness = 0.3f;
    float bandHeight = 0;  // below: lower surface (bricks), above: upper surface (plaster)
    std::vector<WallOpening> openings;
};

// How far behind the wall's outer face an opening's frame and door leaf sit.
constexpr float OpeningRecess = 0.1f;

void buildWall(MeshBuilder& mesh, const WallLayout& wall);

}  // namespace Orvanta
