shader {
    includes {
        file = resources/shaders/engine/shadows/shadowDepthEncoding.shader
    }
    semantics {
        cascadedShadowMap0 = CASCADED_SHADOW_MAP0
        cascadedShadowMap1 = CASCADED_SHADOW_MAP1
        cascadedShadowMap2 = CASCADED_SHADOW_MAP2
        cascadedShadowMap3 = CASCADED_SHADOW_MAP3
        cascadedShadowMap4 = CASCADED_SHADOW_MAP4
        cascadedShadowMatrix0 = CASCADED_SHADOW_MAP0_MATRIX
        cascadedShadowMatrix1 = CASCADED_SHADOW_MAP1_MATRIX
        cascadedShadowMatrix2 = CASCADED_SHADOW_MAP2_MATRIX
        cascadedShadowMatrix3 = CASCADED_SHADOW_MAP3_MATRIX
        cascadedShadowMatrix4 = CASCADED_SHADOW_MAP4_MATRIX
        cascadedShadowSplitDistance0 = CASCADED_SHADOW_MAP0_SPLIT_DISTANCE
        cascadedShadowSplitDistance1 = CASCADED_SHADOW_MAP1_SPLIT_DISTANCE
        cascadedShadowSplitDistance2 = CASCADED_SHADOW_MAP2_SPLIT_DISTANCE
        cascadedShadowSplitDistance3 = CASCADED_SHADOW_MAP3_SPLIT_DISTANCE
        cascadedShadowSplitDistance4 = CASCADED_SHADOW_MAP4_SPLIT_DISTANCE
        cascadedShadowSunRadius0 = CASCADED_SHADOW_MAP0_UV_SPACE_SUN_LIGHT_RADIUS
        cascadedShadowSunRadius1 = CASCADED_SHADOW_MAP1_UV_SPACE_SUN_LIGHT_RADIUS
        cascadedShadowSunRadius2 = CASCADED_SHADOW_MAP2_UV_SPACE_SUN_LIGHT_RADIUS
        cascadedShadowSunRadius3 = CASCADED_SHADOW_MAP3_UV_SPACE_SUN_LIGHT_RADIUS
        cascadedShadowSunRadius4 = CASCADED_SHADOW_MAP4_UV_SPACE_SUN_LIGHT_RADIUS
        overlappedShadowMap0 = OVERLAPPED_SHADOW_MAP0
        overlappedShadowMap1 = OVERLAPPED_SHADOW_MAP1
        overlappedShadowMap2 = OVERLAPPED_SHADOW_MAP2
        overlappedShadowMatrix0 = OVERLAPPED_SHADOW_MAP0_MATRIX
        overlappedShadowMatrix1 = OVERLAPPED_SHADOW_MAP1_MATRIX
        overlappedShadowMatrix2 = OVERLAPPED_SHADOW_MAP2_MATRIX
        overlappedShadowSunRadius0 = OVERLAPPED_SHADOW_MAP0_UV_SPACE_SUN_LIGHT_RADIUS
        overlappedShadowSunRadius1 = OVERLAPPED_SHADOW_MAP1_UV_SPACE_SUN_LIGHT_RADIUS
        overlappedShadowSunRadius2 = OVERLAPPED_SHADOW_MAP2_UV_SPACE_SUN_LIGHT_RADIUS
        softShadowSamplingVectors = SOFT_SHADOW_MAPPING_SAMPLING_VECTORS
        softShadowSamplingVectors[0] = SOFT_SHADOW_MAPPING_SAMPLING_VECTORS
        softShadowOccluderSearchSamples = SOFT_SHADOW_MAPPING_NUM_OCCLUDER_SEARCH_SAMPLES
        softShadowSamples = SOFT_SHADOW_MAPPING_NUM_SAMPLES
        shadowSamplingNoise = SHADOW_SAMPLING_NOISE_TEXTURE
    }
    code = "
// Soft sun shadows from the cascaded maps (main lighting) and the overlapped maps (ray-traced
// lighting), in the style of percentage-closer soft shadows:
// 1. blocker search: the receiver's own texel and up to 8 disc samples around it find the mean
//    depth of the occluders between the receiver and the sun;
// 2. penumbra: the sun is a disc of the map's sun radius on the map's near (light) plane, so the
//    penumbra grows with the receiver-to-occluder distance over the occluder-to-light distance;
// 3. filter: up to 32 disc samples over the penumbra count the occluded fraction.
// The disc is rotated per pixel by the noise texture (tiled every 32 pixels by the caller's noise
// coordinates), which turns the banding of a fixed pattern into fine noise.
//
// Acne and peter-panning: every sample is compared against the receiver plane's own light depth
// where the sample lands (from the geometry normal), allowing only the encoding's precision plus
// a tenth of the plane's change over one texel, never a large constant bias nor an offset along
// the normal (which narrows every contact shadow by as much).

uniform sampler2D cascadedShadowMap0;
uniform sampler2D cascadedShadowMap1;
uniform sampler2D cascadedShadowMap2;
uniform sampler2D cascadedShadowMap3;
uniform sampler2D cascadedShadowMap4;
uniform mat4 cascadedShadowMatrix0;
uniform mat4 cascadedShadowMatrix1;
uniform mat4 cascadedShadowMatrix2;
uniform mat4 cascadedShadowMatrix3;
uniform mat4 cascadedShadowMatrix4;
uniform float cascadedShadowSplitDistance0;
uniform float cascadedShadowSplitDistance1;
uniform float cascadedShadowSplitDistance2;
uniform float cascadedShadowSplitDistance3;
uniform float cascadedShadowSplitDistance4;
uniform float cascadedShadowSunRadius0;
uniform float cascadedShadowSunRadius1;
uniform float cascadedShadowSunRadius2;
uniform float cascadedShadowSunRadius3;
uniform float cascadedShadowSunRadius4;
uniform sampler2D overlappedShadowMap0;
uniform sampler2D overlappedShadowMap1;
uniform sampler2D overlappedShadowMap2;
uniform mat4 overlappedShadowMatrix0;
uniform mat4 overlappedShadowMatrix1;
uniform mat4 overlappedShadowMatrix2;
uniform float overlappedShadowSunRadius0;
uniform float overlappedShadowSunRadius1;
uniform float overlappedShadowSunRadius2;
uniform vec2 softShadowSamplingVectors[32];
uniform int softShadowOccluderSearchSamples;
uniform int softShadowSamples;
uniform sampler2D shadowSamplingNoise;

const float cascadedShadowMapSize = 2048.0;
const float overlappedShadowMapSize = 512.0;
// Occluders more than this far above a receiver are not searched for: it bounds the search disc
// (and so the blocker samples' spacing) for a scene of buildings and trees.
const float softShadowMaximumOccluderHeight = 40.0;
const float softShadowMinimumFilterTexels = 0.75;
// The depth encoding rounds to about 1.6 cm (shadowDepthEncoding.shader); twice that.
const float softShadowDepthPrecision = 0.03;

// Cosine and sine of this pixel's rotation of the sampling disc.
vec2 softShadowRotation(vec2 noiseCoordinates)
{
    float angle = texture2D(shadowSamplingNoise, noiseCoordinates).r * 6.2831853;
    return vec2(cos(angle), sin(angle));
}

vec2 softShadowRotate(vec2 v, vec2 rotation)
{
    return vec2(v.x * rotation.x - v.y * rotation.y, v.x * rotation.y + v.y * rotation.x);
}

// Lit fraction (0 fully shadowed, 1 fully lit) of a world position from one orthographic sun map:
// the share of the sun's disc its opaque occluders leave, times the share the panes in front of
// the nearest occluder let through (the map's second channel at the position; the position's own
// pane, if it is one, counts too).
// The map's matrix says everything about it: its x and y rows scale world units to clip units
// along the map's axes, and its z row is the light direction times the depth scale, plus the
// depth offset.
float softShadowFromMap(sampler2D shadowMap, mat4 shadowMatrix, float uvSpaceSunRadius,
    float mapSize, vec3 worldPosition, vec3 normal, vec2 rotation)
{
    vec3 depthRow = vec3(shadowMatrix[0][2], shadowMatrix[1][2], shadowMatrix[2][2]);
    float depthScale = length(depthRow);
    vec3 lightDirection = depthRow / depthScale;
    vec3 uRow = vec3(shadowMatrix[0][0], shadowMatrix[1][0], shadowMatrix[2][0]);
    vec3 vRow = vec3(shadowMatrix[0][1], shadowMatrix[1][1], shadowMatrix[2][1]);
    float clipPerWorld = length(uRow);
    float worldPerUv = 2.0 / clipPerWorld;
    float lightPlaneDepth = (-1.0 - shadowMatrix[3][2]) / depthScale;

    // The receiver's plane, seen from the light: how its light depth changes per texture-
    // coordinate unit along the map's axes. Each sample compares against the plane's own depth
    // where it lands instead of one worst-case slope over the whole disc, which would let
    // occluders close above a steep receiver (an eave over a wall) through. Near grazing light the
    // gradient is capped; such surfaces face away from the sun's light anyway.
    vec3 n = normalize(normal);
    float facing = dot(n, lightDirection);
    float towardLight = facing < 0.0 ? min(facing, -0.125) : max(facing, 0.125);
    vec2 gradient = -vec2(dot(n, uRow), dot(n, vRow)) / clipPerWorld * worldPerUv / towardLight;

    vec4 clip = shadowMatrix * vec4(worldPosition, 1.0);
    vec2 uv = clip.xy * 0.5 + 0.5;
    if (uv.x < 0.0 || uv.y < 0.0 || uv.x > 1.0 || uv.y > 1.0)
        return 1.0;
    float passed = texture2D(shadowMap, uv).g;
    float receiverDepth = dot(lightDirection, worldPosition);
    float receiverDistance = max(receiverDepth - lightPlaneDepth, 1.0e-3);
    // A planar receiver's own texels, filtered linearly, hold its plane's depth at the lookup;
    // a tenth of the plane's change over a texel covers the encoding's curvature and receivers
    // that bend a little.
    float texelUv = 1.0 / mapSize;
    float bias = softShadowDepthPrecision + 0.1 * length(gradient) * texelUv;

    // Clip-space units are two per map width; texture coordinates one.
    float sunRadiusUv = 0.5 * uvSpaceSunRadius;
    float searchUv = max(sunRadiusUv * min(receiverDistance, softShadowMaximumOccluderHeight)
        / receiverDistance, softShadowMinimumFilterTexels * texelUv);

    // 1. Blocker search.
    float blockerSum = 0.0;
    float blockerCount = 0.0;
    float centreDepth = decodeShadowDepth(texture2D(shadowMap, uv).r);
    if (centreDepth < receiverDepth - bias) {
        blockerSum += centreDepth;
        blockerCount += 1.0;
    }
    for (int i = 0; i < 32; i++) {
        if (i < softShadowOccluderSearchSamples) {
            vec2 offset = softShadowRotate(softShadowSamplingVectors[i], rotation) * searchUv;
            float depth = decodeShadowDepth(texture2D(shadowMap, uv + offset).r);
            if (depth < receiverDepth + dot(gradient, offset) - bias) {
                blockerSum += depth;
                blockerCount += 1.0;
            }
        }
    }
    if (blockerCount == 0.0)
        return passed;
    float blockerDistance = max(blockerSum / blockerCount - lightPlaneDepth, 1.0e-3);

    // 2. Penumbra from similar triangles between the sun's disc, the occluders and the receiver.
    float penumbraUv = sunRadiusUv * max(receiverDistance - blockerDistance, 0.0) / blockerDistance;
    float filterUv = clamp(penumbraUv, softShadowMinimumFilterTexels * texelUv, searchUv);

    // 3. Filter.
    float occluded = 0.0;
    float taken = 0.0;
    for (int i = 0; i < 32; i++) {
        if (i < softShadowSamples) {
            vec2 offset = softShadowRotate(softShadowSamplingVectors[i], rotation) * filterUv;
            float depth = decodeShadowDepth(texture2D(shadowMap, uv + offset).r);
            occluded += depth < receiverDepth + dot(gradient, offset) - bias ? 1.0 : 0.0;
            taken += 1.0;
        }
    }
    if (taken == 0.0)
        return 0.0;
    return (1.0 - occluded / taken) * passed;
}

// Main lighting: the cascade is chosen by the view depth (distance along the camera's viewing
// direction) against the cascades' far split distances; beyond the last split there is no shadow.
float sunShadowFactor(vec3 worldPosition, vec3 normal, float viewDepth, vec2 noiseCoordinates)
{
    if (viewDepth >= cascadedShadowSplitDistance4)
        return 1.0;
    vec2 rotation = softShadowRotation(noiseCoordinates);
    if (viewDepth < cascadedShadowSplitDistance0)
        return softShadowFromMap(cascadedShadowMap0, cascadedShadowMatrix0, cascadedShadowSunRadius0,
            cascadedShadowMapSize, worldPosition, normal, rotation);
    if (viewDepth < cascadedShadowSplitDistance1)
        return softShadowFromMap(cascadedShadowMap1, cascadedShadowMatrix1, cascadedShadowSunRadius1,
            cascadedShadowMapSize, worldPosition, normal, rotation);
    if (viewDepth < cascadedShadowSplitDistance2)
        return softShadowFromMap(cascadedShadowMap2, cascadedShadowMatrix2, cascadedShadowSunRadius2,
            cascadedShadowMapSize, worldPosition, normal, rotation);
    if (viewDepth < cascadedShadowSplitDistance3)
        return softShadowFromMap(cascadedShadowMap3, cascadedShadowMatrix3, cascadedShadowSunRadius3,
            cascadedShadowMapSize, worldPosition, normal, rotation);
    return softShadowFromMap(cascadedShadowMap4, cascadedShadowMatrix4, cascadedShadowSunRadius4,
        cascadedShadowMapSize, worldPosition, normal, rotation);
}

bool softShadowInsideMap(mat4 shadowMatrix, vec3 worldPosition)
{
    vec2 clip = (shadowMatrix * vec4(worldPosition, 1.0)).xy;
    return max(abs(clip.x), abs(clip.y)) < 0.95;
}

// Ray-traced lighting: surfaces seen in reflections may lie outside the view frustum, so the
// overlapped squares around the camera are used, the smallest that holds the position.
float overlappedSunShadowFactor(vec3 worldPosition, vec3 normal, vec2 noiseCoordinates)
{
    vec2 rotation = softShadowRotation(noiseCoordinates);
    if (softShadowInsideMap(overlappedShadowMatrix0, worldPosition))
        return softShadowFromMap(overlappedShadowMap0, overlappedShadowMatrix0,
            overlappedShadowSunRadius0, overlappedShadowMapSize, worldPosition, normal, rotation);
    if (softShadowInsideMap(overlappedShadowMatrix1, worldPosition))
        return softShadowFromMap(overlappedShadowMap1, overlappedShadowMatrix1,
            overlappedShadowSunRadius1, overlappedShadowMapSize, worldPosition, normal, rotation);
    if (softShadowInsideMap(overlappedShadowMatrix2, worldPosition))
        return softShadowFromMap(overlappedShadowMap2, overlappedShadowMatrix2,
            overlappedShadowSunRadius2, overlappedShadowMapSize, worldPosition, normal, rotation);
    return 1.0;
}
"
}
