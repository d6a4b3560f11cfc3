shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/common/skyMapping.shader"
		file = "resources/shaders/engine/common/skyLightingHarmonics.shader"
		file = "resources/shaders/engine/common/skyOcclusion.shader"
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
		occlusionBoxMinimum = SKY_LIGHTING_OCCLUSION_BOX_MINIMUM
		occlusionBoxMaximum = SKY_LIGHTING_OCCLUSION_BOX_MAXIMUM
	}
	code = "
// Sky light on the current G-buffer: each pixel's world position picks its place in the sky
// lighting volume, whose irradiance for the pixel's normal, times the surface colour over pi,
// is added to the target. The volume spans x and z from -width/2 to width/2 and y from 0 to
// height around the world origin; a point beyond its sides or above it sees the open sky, a
// point below its floor (a dip in the ground) takes the floor's cells.
//
// The cells are interpolated by hand: of the eight cells around the point only those it sees are
// mixed, the cells behind an occlusion quad (the other side of a wall) are left out and the
// weights of the rest renormalised. A cell grid turned against a wall would otherwise mix outside
// cells into the room along a staircase. A point that sees none of its cells is enclosed by the
// quads and gets no sky light.
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
// The box around all occlusion quads (empty without quads).
uniform vec3 occlusionBoxMinimum;
uniform vec3 occlusionBoxMaximum;

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

// Adds the cell with texel index c (x, z, layer) with the given weight (read at the texel's
// centre, where filtering returns the texel itself).
void addCell(vec3 c, vec3 cells, float weight, inout vec3 coefficients[9])
{
    vec3 t = (c + 0.5) / cells;
    vec3 cell[9];
    unpackHarmonics(texture3D(volume0, t), texture3D(volume1, t), texture3D(volume2, t), texture3D(volume3, t),
                    texture3D(volume4, t), texture3D(volume5, t), texture3D(volume6, t).rgb, cell);
    for (int k = 0; k < 9; ++k)
        coefficients[k] += cell[k] * weight;
}

// The volume's light at a world point inside its box, from the cells the point sees; false when
// it sees none.
bool volumeHarmonics(vec3 position, int near[OCCLUSION_NEAR_QUADS], int nearCount, out vec3 coefficients[9])
{
    vec3 t = vec3(position.x / volumeWidth + 0.5, position.z / volumeLength + 0.5, position.y / volumeHeight);
    // Without a quad within reach every cell is seen: the textures' own filtering mixes them.
    if (nearCount == 0) {
        unpackHarmonics(texture3D(volume0, t), texture3D(volume1, t), texture3D(volume2, t), texture3D(volume3, t),
                        texture3D(volume4, t), texture3D(volume5, t), texture3D(volume6, t).rgb, coefficients);
        return true;
    }
    for (int k = 0; k < 9; ++k)
        coefficients[k] = vec3(0.0);
    vec3 cells = vec3(volumeWidth, volumeLength, volumeHeight) / cellSize;
    // Texel space (x, z, layer) with cell centres at whole numbers.
    vec3 g = t * cells - 0.5;
    g = clamp(g, vec3(0.0), cells - 1.0);
    vec3 base = min(floor(g), cells - 2.0);
    vec3 f = g - base;
    float total = 0.0;
    for (int i = 0; i < 8; ++i) {
        vec3 corner = vec3(mod(float(i), 2.0), mod(floor(float(i) / 2.0), 2.0), floor(float(i) / 4.0));
        vec3 c = base + corner;
        vec3 w3 = mix(1.0 - f, f, corner);
        float weight = w3.x * w3.y * w3.z;
        if (weight <= 0.0)
            continue;
        vec3 centre = vec3((c.x + 0.5) * cellSize - 0.5 * volumeWidth, (c.z + 0.5) * cellSize,
                           (c.y + 0.5) * cellSize - 0.5 * volumeLength);
        if (firstCrossingOf(near, nearCount, position, centre - position) < 1.0)
            continue;
        addCell(c, cells, weight, coefficients);
        total += weight;
    }
    if (total < 1e-4)
        return false;
    for (int k = 0; k < 9; ++k)
        coefficients[k] /= total;
    return true;
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
    // Read one cell out along the surface's normal, so that the cells read lie in front of the
    // surface rather than inside it, but never beyond an occlusion quad the way out crosses
    // (stopping halfway to it). The way starts a little off the surface so that a surface lying
    // on a quad does not cross it.
    vec3 surface = texture2D(gBufferPosition, uv).xyz + geometryNormal * 0.05;
    vec3 way = geometryNormal * cellSize;
    // Every segment tested below lies within two cells of the surface point.
    int near[OCCLUSION_NEAR_QUADS];
    int nearCount = 0;
    vec3 reachMinimum = surface - 2.0 * cellSize;
    vec3 reachMaximum = surface + 2.0 * cellSize;
    if (all(lessThanEqual(occlusionBoxMinimum, reachMaximum)) && all(greaterThanEqual(occlusionBoxMaximum, reachMinimum)))
        nearCount = nearOcclusionQuads(reachMinimum, reachMaximum, near);
    float crossing = firstCrossingOf(near, nearCount, surface, way);
    vec3 position = surface + way * (crossing < 1.0 ? 0.5 * crossing : 1.0);

    vec3 coefficients[9];
    if (abs(position.x) <= 0.5 * volumeWidth && abs(position.z) <= 0.5 * volumeLength && position.y <= volumeHeight) {
        if (!volumeHarmonics(position, near, nearCount, coefficients)) {
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
