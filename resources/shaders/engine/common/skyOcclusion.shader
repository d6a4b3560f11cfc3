shader
{
	semantics
	{
		occlusionCorners = SKY_LIGHTING_OCCLUSION_QUADS
		occlusionCornerCount = SKY_LIGHTING_NUM_OCCLUSION_QUADS
	}
	code = "
// The scene's sky occlusion quads: four corners each, of which the first three count: a quad is
// the parallelogram with corners 0, 1 and 2 (corner 3 lies at corner 0 + corner 2 - corner 1).
uniform vec3 occlusionCorners[256];
uniform int occlusionCornerCount;

// Where the line origin + t direction crosses the parallelogram spanned at c1 by the edges to c0
// and to c2, from either side: t, or -1 when it misses it (or runs in its plane).
float parallelogramCrossing(vec3 origin, vec3 direction, vec3 c0, vec3 c1, vec3 c2)
{
    vec3 edgeU = c0 - c1;
    vec3 edgeV = c2 - c1;
    vec3 p = cross(direction, edgeV);
    float determinant = dot(edgeU, p);
    if (abs(determinant) < 1e-8)
        return -1.0;
    vec3 fromCorner = origin - c1;
    float u = dot(fromCorner, p) / determinant;
    if (u < 0.0 || u > 1.0)
        return -1.0;
    vec3 q = cross(fromCorner, edgeU);
    float v = dot(direction, q) / determinant;
    if (v < 0.0 || v > 1.0)
        return -1.0;
    return dot(edgeV, q) / determinant;
}

// The quads that reach into an axis-aligned box, at most OCCLUSION_NEAR_QUADS of them (as the
// index of their first corner), for the segment tests of a point in the box.
const int OCCLUSION_NEAR_QUADS = 16;

int nearOcclusionQuads(vec3 boxMinimum, vec3 boxMaximum, out int near[OCCLUSION_NEAR_QUADS])
{
    int count = 0;
    vec3 centre = 0.5 * (boxMinimum + boxMaximum);
    vec3 halfExtent = 0.5 * (boxMaximum - boxMinimum);
    for (int corner = 0; corner + 3 < occlusionCornerCount; corner += 4) {
        vec3 c0 = occlusionCorners[corner];
        vec3 c1 = occlusionCorners[corner + 1];
        vec3 c2 = occlusionCorners[corner + 2];
        vec3 c3 = c0 + c2 - c1;
        vec3 lo = min(min(c0, c1), min(c2, c3));
        vec3 hi = max(max(c0, c1), max(c2, c3));
        if (any(greaterThan(lo, boxMaximum)) || any(lessThan(hi, boxMinimum)))
            continue;
        // A quad turned against the axes has a large box of its own: its plane must also pass
        // through the box.
        vec3 n = cross(c0 - c1, c2 - c1);
        if (abs(dot(n, centre - c1)) > dot(abs(n), halfExtent))
            continue;
        if (count < OCCLUSION_NEAR_QUADS) {
            near[count] = corner;
            count += 1;
        }
    }
    return count;
}

// The smallest t in (0, 1) at which the segment from origin to origin + direction crosses one of
// the listed quads, or 1 when it crosses none.
float firstCrossingOf(int near[OCCLUSION_NEAR_QUADS], int count, vec3 origin, vec3 direction)
{
    float first = 1.0;
    for (int i = 0; i < OCCLUSION_NEAR_QUADS; ++i) {
        if (i >= count)
            break;
        int corner = near[i];
        float t = parallelogramCrossing(origin, direction, occlusionCorners[corner], occlusionCorners[corner + 1],
                                        occlusionCorners[corner + 2]);
        if (t > 0.0 && t < first)
            first = t;
    }
    return first;
}
"
}
