shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/common/viewRays.shader"
	}
	semantics
	{
		eyeDepth = GBUFFER_DEPTH_TEXTURE
		geometryNormals = GBUFFER_GEOMETRY_NORMAL_TEXTURE
		noise = SHADOW_SAMPLING_NOISE_TEXTURE
		samplingVectors = SSAO_SAMPLING_VECTORS
		sampleCount = SSAO_NUM_SAMPLES
		occlusionDistance = SSAO_DISTANCE
		intensity = SSAO_INTENSITY
	}
	code = "
// Ambient occlusion at half resolution. The pass binds the half-size copy of the eye depth to
// the depth sampler, so its texels line up with this target's pixels; each holds the depth of
// the lower-left full-size texel under it, a quarter of a texel off its own centre. Unit 2
// carries noise coordinates that tile the noise every 32 pixels.
//
// For each pixel, a disc of samples around it on screen (the sampling vectors times the world
// distance, projected at the pixel's depth and turned by a per-pixel random angle) is lifted
// back to the surfaces seen there. A sample occludes by how far it rises above the pixel's
// tangent plane, seen from the pixel (the cosine to the normal), fading out with distance: what
// lies beyond the world distance (the sky, a far wall seen past a fence) occludes nothing.
uniform sampler2D eyeDepth;
uniform sampler2D geometryNormals;
uniform sampler2D noise;
uniform vec2 samplingVectors[16];
uniform int sampleCount;
uniform float occlusionDistance;
uniform float intensity;

// Samples within this cosine of the tangent plane do not occlude: flat ground stays open.
const float cosineBias = 0.1;
// Depth differences below this fraction of the eye depth are noise of the 16-bit depth copy.
const float relativeDepthBias = 0.002;
// Close to the camera the disc would cover most of the screen; it never spreads wider than this
// fraction of the screen width.
const float maxScreenReach = 0.1;
const float TWO_PI = 6.283185;

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    float z = texture2D(eyeDepth, uv).r;
    // Nothing was drawn here (the sky): nothing to occlude.
    if (z <= 0.0) {
        gl_FragColor = vec4(1.0);
        return;
    }
    vec2 targetSize = fullScreenTargetSize();
    // Where the copied depth was taken: positions and normals belong there.
    vec2 copyOffset = vec2(-0.25) / targetSize;
    vec3 position = z * viewRay(uv + copyOffset);
    vec3 normal = normalize(texture2D(geometryNormals, uv + copyOffset).xyz);

    float angle = texture2D(noise, gl_TexCoord[2].xy).r * TWO_PI;
    vec2 turn = vec2(cos(angle), sin(angle));
    // Screen coordinates per unit of sampling vector at this depth, limited so that the disc
    // (radius 0.25) stays within the widest allowed reach.
    vec2 reach = vec2(occlusionDistance) / (z * unitDepthScreenSize());
    reach *= min(1.0, maxScreenReach / (reach.x * 0.25));

    float occlusion = 0.0;
    for (int i = 0; i < 16; ++i) {
        if (i >= sampleCount)
            break;
        vec2 disc = samplingVectors[i];
        vec2 offset = vec2(disc.x * turn.x - disc.y * turn.y, disc.x * turn.y + disc.y * turn.x);
        // Depth and ray must belong to the same texel, or sloped ground would seem to rise.
        vec2 sampleUv = pixelCentre(uv + offset * reach, targetSize);
        if (!insideScreen(sampleUv))
            continue;
        float sampleZ = texture2D(eyeDepth, sampleUv).r;
        if (sampleZ <= 0.0)
            continue;
        vec3 toSample = sampleZ * viewRay(sampleUv + copyOffset) - position;
        float len = length(toSample);
        if (len >= occlusionDistance || len < 1e-4)
            continue;
        float cosine = (dot(normal, toSample) - relativeDepthBias * z) / len;
        float falloff = 1.0 - len / occlusionDistance;
        occlusion += max(cosine - cosineBias, 0.0) * falloff * falloff;
    }
    float ambient = 1.0 - intensity * occlusion / max(float(sampleCount), 1.0);
    gl_FragColor = vec4(clamp(ambient, 0.0, 1.0));
}
"
}
