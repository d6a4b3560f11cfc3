shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/lightPropagationVolume/sphericalHarmonics.shader"
		file = "resources/shaders/engine/lightPropagationVolume/volumeLayout.shader"
		file = "resources/shaders/engine/lightPropagationVolume/volumeSampling.shader"
		file = "resources/shaders/engine/common/skyVolumeReading.shader"
	}
	semantics
	{
		gBufferColor = GBUFFER_COLOR_TEXTURE
		gBufferNormal = GBUFFER_NORMAL_TEXTURE
		gBufferGeometryNormal = GBUFFER_GEOMETRY_NORMAL_TEXTURE
		gBufferPosition = GBUFFER_POSITION_TEXTURE
		innerVolumeMinimum = LIGHT_PROPAGATION_INNER_VOLUME_MINIMUM
		innerVolumeMaximum = LIGHT_PROPAGATION_INNER_VOLUME_MAXIMUM
		innerVolumeCellSize = LIGHT_PROPAGATION_INNER_VOLUME_CELL_SIZE
	}
	code = "
// Diffuse light from one volume on every surface of the current G-buffer: the accumulated light
// at the surface, as irradiance on its normal, times its colour over pi.
//
// The three volumes nest around the camera and each draws into the same target, so each takes a
// share of the pixel: its own weight (fading to zero toward its border) less whatever the next
// finer volume, given by its box, already took there. The shares of all volumes add up to the
// coarsest volume's weight, so nothing doubles up and no border shows.
//
// The volumes' cells, 3.5 units in the coarsest, are no walls at room scale: its light would
// stand in a room as it stands in the yard outside. Light from outside reaches a room through the
// same openings as the sky's, so each surface takes the volumes' light in the measure of its
// openness to the sky, which the sky lighting volume knows past the scene's occlusion quads (1 in
// the open, the windows' share inside).
uniform sampler2D gBufferColor;
uniform sampler2D gBufferNormal;
uniform sampler2D gBufferGeometryNormal;
uniform sampler2D gBufferPosition;
// The next finer volume's box and cell size; a cell size of 0 when there is none.
uniform vec3 innerVolumeMinimum;
uniform vec3 innerVolumeMaximum;
uniform float innerVolumeCellSize;

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    vec3 p = texture2D(gBufferPosition, uv).xyz;
    vec3 n = texture2D(gBufferNormal, uv).xyz;
    if (dot(n, n) < 1e-6)
        discard;
    n = normalize(n);
    float weight = volumeFade(p);
    if (innerVolumeCellSize > 0.0)
        weight *= 1.0 - volumeBoxFade(p, innerVolumeMinimum, innerVolumeMaximum, innerVolumeCellSize);
    if (weight <= 0.0)
        discard;
    ShCell light = sampleAccumulatedLight(surfaceSamplePoint(p, n));
    vec3 geometryNormal = texture2D(gBufferGeometryNormal, uv).xyz;
    geometryNormal = dot(geometryNormal, geometryNormal) < 0.25 ? n : normalize(geometryNormal);
    weight *= skyOpenness(p, geometryNormal, n);
    vec3 albedo = texture2D(gBufferColor, uv).rgb;
    gl_FragColor = vec4(albedo / SH_PI * shSurfaceIrradiance(light, n) * weight, 0.0);
}
"
}
