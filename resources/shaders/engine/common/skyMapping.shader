shader
{
	code = "
// The sky map is an equirectangular map of the whole sphere of directions: u follows the
// azimuth, v the elevation through a square root, so rows crowd around the horizon where the
// sky's colour changes fastest.
const float SKY_MAP_PI = 3.14159265;

vec2 skyMapCoordinates(vec3 direction)
{
    vec3 d = normalize(direction);
    float u = atan(d.z, d.x) / (2.0 * SKY_MAP_PI) + 0.5;
    float elevation = asin(clamp(d.y, -1.0, 1.0)) / (0.5 * SKY_MAP_PI);
    float v = 0.5 + 0.5 * sign(elevation) * sqrt(abs(elevation));
    return vec2(u, v);
}

vec3 skyMapDirection(vec2 coordinates)
{
    float azimuth = (coordinates.x - 0.5) * 2.0 * SKY_MAP_PI;
    float s = coordinates.y * 2.0 - 1.0;
    float elevation = sign(s) * s * s * 0.5 * SKY_MAP_PI;
    float c = cos(elevation);
    return vec3(c * cos(azimuth), sin(elevation), c * sin(azimuth));
}
"
}
