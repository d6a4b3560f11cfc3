shader
{
	code = "
// The octahedral map of directions onto the unit square, as raytracing/OctahedralMap.cpp computes
// it: the upper half fills the inner diamond, the lower half the corners folded out.
vec2 octahedralSignNotZero(vec2 v)
{
    return vec2(v.x >= 0.0 ? 1.0 : -1.0, v.y >= 0.0 ? 1.0 : -1.0);
}

vec2 octahedralCoordinates(vec3 direction)
{
    vec2 p = direction.xz / (abs(direction.x) + abs(direction.y) + abs(direction.z));
    if (direction.y < 0.0)
        p = (1.0 - abs(p.yx)) * octahedralSignNotZero(p);
    return p * 0.5 + 0.5;
}
"
}
