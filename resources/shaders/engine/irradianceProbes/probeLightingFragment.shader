shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/common/octahedralMap.shader"
	}
	semantics
	{
		gBufferColor = GBUFFER_COLOR_TEXTURE
		gBufferNormal = GBUFFER_NORMAL_TEXTURE
		gBufferPosition = GBUFFER_POSITION_TEXTURE
		cameraPosition = CAMERA_POSITION
	}
	code = "
// Diffuse light from the irradiance probes on the current G-buffer: each pixel reads the eight
// probes around it, weighted as raytracing/IrradianceProbeField.cpp weights them (irradianceAt):
// by position, by how far each probe lies on the normal's side, and by a Chebyshev test of its
// distance moments, which leaves a probe a wall hides next to no weight. The irradiance times the
// surface colour over pi replaces the sky lighting's and the propagation volumes' diffuse light;
// pixels outside the grid are discarded, and keep those.
uniform sampler2D gBufferColor;
uniform sampler2D gBufferNormal;
uniform sampler2D gBufferPosition;
uniform vec3 cameraPosition;
// Filled by the probe set, not by semantics.
uniform sampler2D probeIrradiance;
uniform sampler2D probeDistance;
uniform sampler2D probeStates;
uniform vec3 gridOrigin;
uniform vec3 gridCounts;
uniform float gridSpacing;
uniform float selfShadowBias;
uniform vec2 irradianceAtlasSize;
uniform vec2 distanceAtlasSize;

const float PI = 3.141592;
const float IRRADIANCE_TEXELS = 8.0;
const float DISTANCE_TEXELS = 16.0;

// Probe (x, y, z)'s tile in an atlas: column x, row y + countY z.
vec2 tileCoordinates(vec3 probe, vec3 direction, float texels, vec2 atlasSize)
{
    vec2 corner = vec2(probe.x, probe.y + gridCounts.y * probe.z) * (texels + 2.0);
    return (corner + 1.0 + octahedralCoordinates(direction) * texels) / atlasSize;
}

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    vec3 normal = texture2D(gBufferNormal, uv).xyz;
    if (dot(normal, normal) < 0.25)
        discard;
    normal = normalize(normal);
    vec3 position = texture2D(gBufferPosition, uv).xyz;
    vec3 local = (position - gridOrigin) / gridSpacing;
    // Outside the grid the other diffuse terms stay.
    if (any(lessThan(local, vec3(0.0))) || any(greaterThan(local, gridCounts - 1.0)))
        discard;
    vec3 towardViewer = normalize(cameraPosition - position);
    vec3 biased = position + (normal * 0.2 + towardViewer * 0.8) * (selfShadowBias * gridSpacing);
    vec3 biasedLocal = clamp((biased - gridOrigin) / gridSpacing, vec3(0.0), gridCounts - 1.0);
    vec3 base = min(floor(biasedLocal), gridCounts - 2.0);
    vec3 alpha = biasedLocal - base;

    vec3 sum = vec3(0.0);
    float weightSum = 0.0;
    for (int corner = 0; corner < 8; ++corner) {
        vec3 offset = vec3(mod(float(corner), 2.0), mod(floor(float(corner) / 2.0), 2.0), floor(float(corner) / 4.0));
        vec3 probe = base + offset;
        vec4 state = texture2D(probeStates, (vec2(probe.x, probe.y + gridCounts.y * probe.z) + 0.5) /
                                                vec2(gridCounts.x, gridCounts.y * gridCounts.z));
        if (state.w < 0.5)
            continue;
        vec3 probePosition = gridOrigin + probe * gridSpacing + state.xyz;
        vec3 toProbe = normalize(probePosition - position);
        float facing = (dot(toProbe, normal) + 1.0) * 0.5;
        float weight = facing * facing;
        vec3 fromProbe = biased - probePosition;
        float r = max(length(fromProbe), 1e-4);
        vec2 moments = texture2D(probeDistance, tileCoordinates(probe, fromProbe / r, DISTANCE_TEXELS,
                                                                 distanceAtlasSize)).rg;
        if (r > moments.x) {
            float variance = abs(moments.y - moments.x * moments.x);
            float gap = r - moments.x;
            float chebyshev = variance / (variance + gap * gap);
            weight *= chebyshev * chebyshev * chebyshev;
        }
        weight = max(weight, 1e-6);
        if (weight < 0.2)
            weight *= weight * weight / 0.04;
        vec3 trilinear = mix(1.0 - alpha, alpha, offset);
        weight *= trilinear.x * trilinear.y * trilinear.z;
        sum += texture2D(probeIrradiance, tileCoordinates(probe, normal, IRRADIANCE_TEXELS,
                                                          irradianceAtlasSize)).rgb * weight;
        weightSum += weight;
    }
    vec3 irradiance = weightSum > 0.0 ? sum / weightSum : vec3(0.0);
    vec3 albedo = texture2D(gBufferColor, uv).rgb;
    gl_FragColor = vec4(albedo / PI * irradiance, 1.0);
}
"
}
