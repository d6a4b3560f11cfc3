shader
{
	code = "
// Needs volumeLayout.shader before it.
//
// The geometry volume beside a light propagation volume: the same W x H x L cells in the same
// layered layout, but shifted by half a cell, so that geometry cell i is centred on the light
// volume's cell corner i (world position volumeMinimumCorner() + i * volumeCellSize). Every face
// between two light cells then has geometry cells at its four corners.
//
// A cell holds the blocking potential of the surfaces in it: for each surface element of area A,
// the share of light travelling along w that it stops, (A / s^2) |n . w| (an opaque surface stops
// light from either side). It is kept as spherical harmonics of bands 0 and 2 (band 1 of an even
// function is zero). The propagation asks for the blocking along the six axis directions only,
// where the mixed band-2 terms (xy, yz, zx) vanish, so a cell stores three numbers: the band-0
// coefficient and the band-2 ones of 3z^2 - 1 and x^2 - y^2.
const float GV_Y00 = 0.282095;
const float GV_Y20 = 0.315392;
const float GV_Y22 = 0.546274;
// Projection of |cos| onto band 0 (2 pi) and band 2 (pi / 2), by the Funk-Hecke theorem.
const float GV_BAND0 = 6.283185;
const float GV_BAND2 = 1.570796;

// The coefficients of a surface element of unit normal n covering the share `coverage` of a
// cell face (its area over the cell's face area).
vec3 blockingPotential(vec3 n, float coverage)
{
    return coverage * vec3(GV_BAND0 * GV_Y00,
                           GV_BAND2 * GV_Y20 * (3.0 * n.z * n.z - 1.0),
                           GV_BAND2 * GV_Y22 * (n.x * n.x - n.y * n.y));
}

// How much of a face across the axis direction d (a unit axis vector) the coefficients cover,
// for light travelling along d. Two bands reconstruct |cos| with a floor of 3/16 of the area in
// every direction, which would hold back light running along a wall; the floor is taken away and
// the rest scaled to 1 along the normal, which leaves the area weighted by cos^2: all of a wall
// across d, nothing of a wall along it. Surfaces that lie nearly along d (their cos^2 share of
// the area under 0.05, as a gently sloping ground for light running over it) count as along it:
// their small share would otherwise hold light back a little at every step.
float axisBlocking(vec3 coefficients, vec3 d)
{
    vec3 d2 = d * d;
    float along = coefficients.x * GV_Y00 + coefficients.y * GV_Y20 * (3.0 * d2.z - 1.0)
                + coefficients.z * GV_Y22 * (d2.x - d2.y);
    float area = coefficients.x / (GV_BAND0 * GV_Y00);
    float across = max((along - 0.1875 * area) * (16.0 / 15.0), 0.0);
    return across * smoothstep(0.05, 0.2, across / max(area, 1e-6));
}
"
}
