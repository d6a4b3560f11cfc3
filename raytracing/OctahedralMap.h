#pragma once
#include "scene/Math.h"

namespace Orvanta {

// The octahedral map of the sphere of directions onto the unit square (Engelhardt and Dachsbacher
// 2008; Cigolle et al. 2014): the upper half (y >= 0) fills the inner diamond, the lower half the
// four corners folded out. Texels cover nearly equal solid angles and neighbouring texels hold
// neighbouring directions, so a probe's maps filter bilinearly once their borders repeat the
// edges they fold onto (octahedralBorderSource). resources/shaders/engine/common/octahedralMap.shader
// computes the same in GLSL.

// Square coordinates (0..1) of a direction of any length but zero.
void octahedralCoordinates(Float3 direction, float& u, float& v);
// The unit direction at square coordinates.
Float3 octahedralDirection(float u, float v);

// For a map of n x n texels stored with a one-texel border (n + 2 per side, texel (0, 0) the
// border's corner): the interior texel whose value the bordered texel (x, y) holds, so that
// bilinear filtering across the edge reads the direction the fold puts beside it.
void octahedralBorderSource(int n, int x, int y, int& sourceX, int& sourceY);

}  // namespace Orvanta
