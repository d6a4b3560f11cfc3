#pragma once
#include "content/KdTree.h"
#include "raytracing/PathSampling.h"
#include "raytracing/SkyEnvironment.h"
#include "raytracing/ThinSheets.h"
#include "raytracing/WindowPortals.h"

#include <cstdint>
#include <vector>

namespace Orvanta {

// The window panes as the openings through which the sun lights a room, for the reference path
// tracer. Inside a room most of the light at noon has bounced once off the sun's patches on the
// floor; a path from a wall finds such a patch only by chance (a few percent of its directions),
// so that light converges slowly. Sampling a point on a pane and following the sun's direction
// through it into the room lands on a patch every time, and the path connects to it: the panes
// become a light source whose density over the lit surface is known in closed form, since a beam
// along one direction keeps its cross-section (dA_pane |cos_pane| = dA_floor |cos_floor|).
//
// Panes are chosen by area times the cosine to the sun times how much of the pane the sun reaches
// (measured once at a few points), never by zero, so every lit patch keeps a chance.
struct SunPortals {
    const WindowPanes* windows = nullptr;  // the panes, with their corners and normals
    Float3 towardSun{0.0f, 1.0f, 0.0f};
    std::vector<uint32_t> panes;  // the sunlit panes, as indices into windows
    std::vector<float> cdf;       // cumulative choosing probabilities, ending at 1
    std::vector<float> density;   // per pane: probability of a point per unit of its area
    std::vector<int32_t> paneOf;  // per geometry triangle: its pane index, -1 for the rest

    bool empty() const { return panes.empty(); }
    Float3 normal(uint32_t pane) const { return windows->normal[panes[pane]]; }
};

// The panes of `windows` (the scene's thin panes, prepareWindowPanes) as lit by the sky's sun;
// empty without a sun or panes.
SunPortals prepareSunPortals(const KdTree& tree, const ThinSheets& sheets, const SkyEnvironment& sky,
                             const WindowPanes& windows);

// A point on a pane chosen by the portals' probabilities, and the pane's index.
struct PortalPoint {
    Float3 position;
    uint32_t pane = 0;
};
PortalPoint samplePortalPoint(const SunPortals& portals, float u0, float u1, float u2);

// What one crossing of a pane adds to the density, over the lit surface's area, of the points
// reached through the panes along towardSunNow: multiply the sum over the panes a surface's ray
// towards the sun crosses by |cos| of that surface's face to the sun.
float portalCrossingDensity(const SunPortals& portals, uint32_t pane, Float3 towardSunNow);

}  // namespace Orvanta
