shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/common/filmicCurve.shader"
		file = "resources/shaders/engine/common/temporalResolve.shader"
	}
	semantics
	{
		eyeDepth = GBUFFER_DEPTH_TEXTURE
		reprojection = TEMPORAL_REPROJECTION_MATRIX
	}
	code = "
// Temporal resolve while the camera moves: the history is reprojected through the eye depth of
// the nearest surface in the 3 x 3 neighbourhood (so edges follow the foreground) and clipped
// toward the neighbourhood's mean, inside its spread in YCoCg, before the blend.
uniform sampler2D eyeDepth;
uniform mat4 reprojection;

// How many standard deviations around the neighbourhood's mean the history may keep.
const float clipSpread = 1.25;

vec3 toYCoCg(vec3 c)
{
    return vec3(0.25 * c.r + 0.5 * c.g + 0.25 * c.b, 0.5 * c.r - 0.5 * c.b, -0.25 * c.r + 0.5 * c.g - 0.25 * c.b);
}

vec3 fromYCoCg(vec3 c)
{
    return vec3(c.x + c.y - c.z, c.x + c.z, c.x - c.y - c.z);
}

// The history at uv through a Catmull-Rom filter (nine bilinear taps, the middle two of each
// axis' four weights merged into one tap between them): sharper than one bilinear tap, which
// would blur the history a little at every frame of a moving camera. Its overshoot is clipped
// with the rest of the history.
vec3 historyAt(vec2 uv)
{
    vec2 size = 1.0 / blend.zw;
    vec2 position = uv * size;
    vec2 centre1 = floor(position - 0.5) + 0.5;
    vec2 f = position - centre1;
    vec2 w0 = f * (-0.5 + f * (1.0 - 0.5 * f));
    vec2 w1 = 1.0 + f * f * (-2.5 + 1.5 * f);
    vec2 w2 = f * (0.5 + f * (2.0 - 1.5 * f));
    vec2 w3 = f * f * (-0.5 + 0.5 * f);
    vec2 w12 = w1 + w2;
    vec2 t0 = (centre1 - 1.0) * blend.zw;
    vec2 t12 = (centre1 + w2 / w12) * blend.zw;
    vec2 t3 = (centre1 + 2.0) * blend.zw;
    vec3 sum = texture2D(history, vec2(t0.x, t0.y)).rgb * (w0.x * w0.y)
             + texture2D(history, vec2(t12.x, t0.y)).rgb * (w12.x * w0.y)
             + texture2D(history, vec2(t3.x, t0.y)).rgb * (w3.x * w0.y)
             + texture2D(history, vec2(t0.x, t12.y)).rgb * (w0.x * w12.y)
             + texture2D(history, vec2(t12.x, t12.y)).rgb * (w12.x * w12.y)
             + texture2D(history, vec2(t3.x, t12.y)).rgb * (w3.x * w12.y)
             + texture2D(history, vec2(t0.x, t3.y)).rgb * (w0.x * w3.y)
             + texture2D(history, vec2(t12.x, t3.y)).rgb * (w12.x * w3.y)
             + texture2D(history, vec2(t3.x, t3.y)).rgb * (w3.x * w3.y);
    return max(sum, vec3(0.0));
}

// Where the surface seen at uv with eye depth z (0: nothing, the sky at infinity) was on screen
// in the previous frame; outside 0..1 when it was not on screen.
vec2 previousPosition(vec2 uv, float z)
{
    vec2 device = uv * 2.0 - 1.0;
    vec4 clip = reprojection * (z > 0.0 ? vec4(device * z, z, 1.0) : vec4(device, 1.0, 0.0));
    if (clip.w <= 0.0)
        return vec2(-1.0);
    return clip.xy / clip.w * 0.5 + 0.5;
}

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    float exposure = frameExposure();
    vec3 current = toDisplay(texture2D(sceneColor, uv).rgb, exposure);
    vec3 previous = current;
    {
        vec3 sum = vec3(0.0);
        vec3 sumOfSquares = vec3(0.0);
        float nearest = 0.0;
        vec2 nearestUv = uv;
        for (int y = -1; y <= 1; ++y) {
            for (int x = -1; x <= 1; ++x) {
                vec2 at = uv + vec2(float(x), float(y)) * blend.zw;
                vec3 c = toYCoCg(toDisplay(texture2D(sceneColor, at).rgb, exposure));
                sum += c;
                sumOfSquares += c * c;
                float z = texture2D(eyeDepth, at).r;
                if (z > 0.0 && (nearest == 0.0 || z < nearest)) {
                    nearest = z;
                    nearestUv = at;
                }
            }
        }
        vec2 previousUv = uv + previousPosition(nearestUv, nearest) - nearestUv;
        if (all(greaterThanEqual(previousUv, vec2(0.0))) && all(lessThanEqual(previousUv, vec2(1.0)))) {
            vec3 mean = sum / 9.0;
            vec3 extent = clipSpread * sqrt(max(sumOfSquares / 9.0 - mean * mean, vec3(0.0))) + vec3(1e-4);
            vec3 offset = toYCoCg(toDisplay(historyAt(previousUv), exposure)) - mean;
            vec3 units = abs(offset) / extent;
            float farthest = max(units.x, max(units.y, units.z));
            previous = max(fromYCoCg(mean + (farthest > 1.0 ? offset / farthest : offset)), vec3(0.0));
        }
    }
    gl_FragColor = vec4(fromDisplay(mix(previous, current, blend.x), exposure), 1.0);
}
"
}
