#pragma once
#include "content/KdTree.h"

#include <cstdint>
#include <vector>

namespace Orvanta {

// The window panes as openings a path in a room aims at, for the reference path tracer. A room's
// light comes in through its windows (the sky, the sunlit yard, facades), which a path from a
// wall finds only when its direction happens to pass a pane. Drawing a share of the paths'
// directions towards points on the panes, the nearer and larger ones more often, finds them every
// time; the direction's density is the sum of both ways of drawing it, so the picture stays the
// same in expectation.
struct WindowPanes {
    const KdTree* tree = nullptr;  // whose intersection records the panes' tests use
    std::vector<uint32_t> triangles;
    std::vector<Float3> corner, edge1, edge2;  // corner + b edge1 + c edge2 spans the pane
    std::vector<Float3> centre, normal;
    // The unit normal towards the pane's room (the side that sees less sky); zero where both sides
    // see as much. Paths outdoors do not aim at panes, whose far side is a darker room.
    std::vector<Float3> inward;
    std::vector<float> area;

    bool empty() const { return triangles.empty(); }
};

// The tree's thin panes (glass that lets light through unbent), each with its room's side found by
// a few rays from its centre to either side.
WindowPanes prepareWindowPanes(const KdTree& tree);

// A point on pane j, uniform over its area for u1, u2 uniform in [0, 1).
Float3 pointOnPane(const WindowPanes& panes, size_t j, float u1, float u2);

// The panes as a vertex sees them: each chosen by its estimated solid angle (area times the cosine
// at the pane over the squared distance); those behind the vertex's surface, and those whose room
// lies on their other side, left out.
class WindowDirections {
public:
    // Weighs the panes for a vertex at `position` whose surface faces `normal` (both sides when
    // twoSided). Afterwards empty() tells whether any pane can be aimed at.
    void prepare(const WindowPanes& panes, Float3 position, Float3 normal, bool twoSided);
    bool empty() const { return !(total > 0.0f); }

    // A unit direction towards a point on a pane.
    Float3 sample(float u0, float u1, float u2) const;
    // The density over solid angle of sample() drawing the unit direction d: the sum over every
    // pane the half-line meets (in front of the surface or not) of the point's density over the
    // pane's area converted to solid angle.
    float pdf(Float3 d) const;

private:
    const WindowPanes* panes = nullptr;
    Float3 origin;
    std::vector<float> cdf;  // cumulative, not normalised
    std::vector<float> weight;
    float total = 0.0f;
};

}  // namespace Orvanta
