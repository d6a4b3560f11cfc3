shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/common/skyMapping.shader"
		file = "resources/shaders/engine/common/skyLightingHarmonics.shader"
	}
	semantics
	{
		gBufferColor = GBUFFER_COLOR_TEXTURE
		gBufferNormal = GBUFFER_NORMAL_TEXTURE
		gBufferGeometryNormal = GBUFFER_GEOMETRY_NORMAL_TEXTURE
		gBufferPosition = GBUFFER_POSITION_TEXTURE
		skyMap = SKY_MAP_TEXTURE
		volume0 = SKY_LIGHTING_VOLUME_TEXTURE0
		volume1 = SKY_LIGHTING_VOLUME_TEXTURE1
		volume2 = SKY_LIGHTING_VOLUME_TEXTURE2
		volume3 = SKY_LIGHTING_VOLUME_TEXTURE3
		volume4 = SKY_LIGHTING_VOLUME_TEXTURE4
		volume5 = SKY_LIGHTING_VOLUME_TEXTURE5
		volume6 = SKY_LIGHTING_VOLUME_TEXTURE6
		volumeWidth = SKY_LIGHTING_VOLUME_WIDTH
		volumeHeight = SKY_LIGHTING_VOLUME_HEIGHT
		volumeLength = SKY_LIGHTING_VOLUME_LENGTH
		cellSize = SKY_LIGHTING_VOLUME_WORLDSPACE_TEXEL_SIZE
		samplingVectors = SKY_LIGHTING_SAMPLING_VECTORS
		samplingVectorCount = SKY_LIGHTING_NUM_SAMPLING_VECTORS
	}
	code = "
// Sky light on the current G-buffer: each pixel's world position picks its place in the sky
// lighting volume, whose irradiance for the pixel's normal, times the surface colour over pi,
// is added to the target. The volume spans x and z from -width/2 to width/2 and y from 0 to
// height around the world origin; a point beyond its sides or above it sees the open sky, a
// point below its floor (a dip in the ground) takes the floor's cells.
uniform sampler2D gBufferColor;
uniform sampler2D gBufferNormal;
uniform sampler2D gBufferGeometryNormal;
uniform sampler2D gBufferPosition;
uniform sampler2D skyMap;
uniform sampler3D volume0;
uniform sampler3D volume1;
uniform sampler3D volume2;
uniform sampler3D volume3;
uniform sampler3D volume4;
uniform sampler3D volume5;
uniform sampler3D volume6;
uniform float volumeWidth;
uniform float volumeHeight;
uniform float volumeLength;
uniform float cellSize;
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
    // One cell out along the surface's normal, so that the interpolation between cells never
    // reaches cells behind the surface (inside a wall, under the roof) and darkens it.
    vec3 position = texture2D(gBufferPosition, uv).xyz + geometryNormal * cellSize;

    vec3 coefficients[9];
    if (abs(position.x) <= 0.5 * volumeWidth && abs(position.z) <= 0.5 * volumeLength && position.y <= volumeHeight) {
        vec3 t = vec3(position.x / volumeWidth + 0.5, position.z / volumeLength + 0.5, position.y / volumeHeight);
        unpackHarmonics(texture3D(volume0, t), texture3D(volume1, t), texture3D(volume2, t), texture3D(volume3, t),
                        texture3D(volume4, t), texture3D(volume5, t), texture3D(volume6, t).rgb, coefficients);
    } else {
        openSkyHarmonics(coefficients);
    }
    vec3 albedo = texture2D(gBufferColor, uv).rgb;
    gl_FragColor = vec4(albedo / HARMONICS_PI * harmonicsIrradiance(coefficients, shadingNormal), 1.0);
}
"
}
