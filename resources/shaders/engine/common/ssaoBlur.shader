shader
{
	semantics
	{
		eyeDepth = GBUFFER_DEPTH_TEXTURE
		geometryNormals = GBUFFER_GEOMETRY_NORMAL_TEXTURE
		blurCoefficients = SSAO_GAUSSIAN_BLUR_COEFFICIENTS
		blurSampleCount = SSAO_GAUSSIAN_BLUR_NUM_SAMPLES
		blurRadius = SSAO_BLUR_RADIUS
		blurDistance = SSAO_DISTANCE
	}
	code = "
// One direction of the separable blur of the ambient factor, drawn at full size. The taps sit at
// x = -2, -1.8, ..., 2 times half the reach along the direction, weighted by the Gaussian
// coefficients. Only taps on the centre pixel's own surface count (close to its tangent plane),
// so the occlusion of a crease does not bleed onto a surface seen behind or in front of it; the
// weights of the taps kept are renormalised.
uniform sampler2D eyeDepth;
uniform sampler2D geometryNormals;
uniform float blurCoefficients[21];
uniform int blurSampleCount;
uniform float blurRadius;
uniform float blurDistance;

// Three texels of the half-size occlusion, in pixels of the full-size target.
const float minimumReachPixels = 6.0;
// How far from the centre's tangent plane a tap may lie, as a fraction of the eye depth.
const float planeTolerance = 0.03;

// direction: (1, 0) horizontal, (0, 1) vertical. halfSizeSource: the ambient texture is the
// half-size occlusion, whose texel (i, j) was computed for the full-size pixel (2i, 2j); each tap
// then reads one whole texel and tests that pixel's surface, so that a texel of another surface
// never blends in through filtering.
float blurredAmbient(sampler2D ambient, vec2 direction, bool halfSizeSource)
{
    vec2 uv = gl_TexCoord[0].xy;
    float z = texture2D(eyeDepth, uv).r;
    if (z <= 0.0)
        return 1.0;
    vec2 targetSize = fullScreenTargetSize();
    vec2 halfSize = max(floor(targetSize * 0.5), vec2(1.0));
    // The blur reaches the blur radius times the world distance on either side (a fixed size in
    // the world, projected at the pixel's depth), but never less than three texels of the
    // half-size occlusion, which is what averaging out the per-pixel turn of the disc needs.
    vec2 reach = vec2(blurRadius * blurDistance) / (z * unitDepthScreenSize());
    reach = max(reach, vec2(minimumReachPixels) / targetSize);
    vec2 tapStep = direction * 0.5 * reach;
    vec3 position = z * viewRay(uv);
    vec3 normal = normalize(texture2D(geometryNormals, uv).xyz);
    float tolerance = planeTolerance * z;

    float sum = 0.0;
    float weightSum = 0.0;
    for (int i = 0; i < 21; ++i) {
        if (i >= blurSampleCount)
            break;
        float x = -2.0 + 0.2 * float(i);
        vec2 tapUv = uv + tapStep * x;
        if (!insideScreen(tapUv))
            continue;
        // Where the tap's ambient value is read, and the pixel whose surface it belongs to.
        vec2 ambientUv = pixelCentre(tapUv, targetSize);
        vec2 surfaceUv = ambientUv;
        if (halfSizeSource) {
            vec2 texel = min(floor(tapUv * halfSize), halfSize - 1.0);
            ambientUv = (texel + 0.5) / halfSize;
            surfaceUv = (2.0 * texel + 0.5) / targetSize;
        }
        float tapZ = texture2D(eyeDepth, surfaceUv).r;
        if (tapZ <= 0.0)
            continue;
        if (abs(dot(normal, tapZ * viewRay(surfaceUv) - position)) > tolerance)
            continue;
        sum += blurCoefficients[i] * texture2D(ambient, ambientUv).r;
        weightSum += blurCoefficients[i];
    }
    // No tap on this surface (a sliver narrower than a texel): leave it unoccluded rather than
    // borrow another surface's value.
    return weightSum > 0.0 ? sum / weightSum : 1.0;
}
"
}
