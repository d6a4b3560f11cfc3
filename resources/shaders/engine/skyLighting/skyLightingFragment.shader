shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/common/skyMapping.shader"
		file = "resources/shaders/engine/common/skyVolumeReading.shader"
	}
	semantics
	{
		gBufferColor = GBUFFER_COLOR_TEXTURE
		gBufferNormal = GBUFFER_NORMAL_TEXTURE
		gBufferGeometryNormal = GBUFFER_GEOMETRY_NORMAL_TEXTURE
		gBufferPosition = GBUFFER_POSITION_TEXTURE
		skyMap = SKY_MAP_TEXTURE
		samplingVectors = SKY_LIGHTING_SAMPLING_VECTORS
		samplingVectorCount = SKY_LIGHTING_NUM_SAMPLING_VECTORS
	}
	code = "
// Sky light on the current G-buffer: each pixel's world position picks its place in the sky
// lighting volume, whose irradiance for the pixel's normal, times the surface colour over pi,
// is added to the target (see skyVolumeReading for how the volume is read).
uniform sampler2D gBufferColor;
uniform sampler2D gBufferNormal;
uniform sampler2D gBufferGeometryNormal;
uniform sampler2D gBufferPosition;
uniform sampler2D skyMap;
uniform vec3 samplingVectors[100];
uniform int samplingVectorCount;

// The unoccluded sky, projected the way the volume's cells are.
void openSkyHarmonics(out vec3 coefficients[9])
{
    for (int c = 0; c < 9; ++c)
        coefficients[c] = vec3(0.0);
    for (int i = 0; i < samplingVectorCount; ++i) {
        vec3 direction = samplingVectors[i];
        addHarmonicsSample(coefficients, direction, texture2D(skyMap, skyMapCoordinates(direction)).rgb);
    }
    finishHarmonics(coefficients, samplingVectorCount);
}

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    vec3 shadingNormal = texture2D(gBufferNormal, uv).xyz;
    // A pixel without a surface (a ray that hit nothing) receives nothing.
    if (dot(shadingNormal, shadingNormal) < 0.25) {
        gl_FragColor = vec4(0.0);
        return;
    }
    shadingNormal = normalize(shadingNormal);
    vec3 geometryNormal = texture2D(gBufferGeometryNormal, uv).xyz;
    geometryNormal = dot(geometryNormal, geometryNormal) < 0.25 ? shadingNormal : normalize(geometryNormal);
    int near[OCCLUSION_NEAR_QUADS];
    int nearCount;
    vec3 position = skyReadingPoint(texture2D(gBufferPosition, uv).xyz, geometryNormal, near, nearCount);

    vec3 coefficients[9];
    if (insideSkyVolume(position)) {
        if (!skyVolumeHarmonics(position, near, nearCount, coefficients)) {
            gl_FragColor = vec4(0.0);
            return;
        }
    } else {
        openSkyHarmonics(coefficients);
    }
    vec3 albedo = texture2D(gBufferColor, uv).rgb;
    gl_FragColor = vec4(albedo / HARMONICS_PI * harmonicsIrradiance(coefficients, shadingNormal), 1.0);
}
"
}
