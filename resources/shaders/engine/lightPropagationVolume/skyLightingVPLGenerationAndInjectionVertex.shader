shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/common/skyMapping.shader"
		file = "resources/shaders/engine/lightPropagationVolume/lightInjection.shader"
		file = "resources/shaders/engine/common/skyVolumeReading.shader"
	}
	semantics
	{
		skyMap = SKY_MAP_TEXTURE
		sunColor = LIGHT_COLOR
	}
	code = "
// One virtual point light per reflective-shadow-map texel, carrying the skylight that texel's
// surface reflects. The map holds colour times sunlight, so the surface colour is recovered by
// dividing the sunlight out; texels the sun barely reaches are left out. The open sky's light is
// taken in the measure the surface sees the sky (its openness in the sky lighting volume): a
// yard's floor under a roof or a tree reflects little of it.
uniform sampler2D skyMap;
uniform vec4 sunColor;

vec3 skyRadiance(vec3 direction)
{
    return texture2DLod(skyMap, skyMapCoordinates(direction), 0.0).rgb;
}

// Irradiance from the sky on a surface facing n: the map read along n and four directions
// tilted 45 degrees around it, weighted roughly as a cosine distribution.
vec3 skyIrradiance(vec3 n)
{
    vec3 t = normalize(abs(n.y) < 0.9 ? cross(n, vec3(0.0, 1.0, 0.0)) : cross(n, vec3(1.0, 0.0, 0.0)));
    vec3 b = cross(n, t);
    vec3 sum = 0.25 * skyRadiance(n);
    sum += 0.1875 * (skyRadiance(n + t) + skyRadiance(n - t) + skyRadiance(n + b) + skyRadiance(n - b));
    return SKY_MAP_PI * sum;
}

void main()
{
    MapSurface surface;
    if (!readMapSurface(gl_MultiTexCoord0.xy, surface)) {
        dropLight();
        return;
    }
    const float minimumSunlight = 1e-3;
    float cosine = dot(surface.normal, -normalize(sunDirection));
    vec3 sunlight = sunColor.rgb * cosine;
    if (cosine <= 0.0 || min(sunlight.r, min(sunlight.g, sunlight.b)) < minimumSunlight) {
        dropLight();
        return;
    }
    vec3 albedo = clamp(surface.exitance / sunlight, 0.0, 1.0);
    float openness = skyOpenness(surface.position, surface.normal, surface.normal);
    injectLight(surface, albedo * skyIrradiance(surface.normal) * openness);
}
"
}
