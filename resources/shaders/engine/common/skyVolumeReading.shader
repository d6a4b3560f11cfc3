shader
{
	includes
	{
		file = "resources/shaders/engine/common/skyLightingHarmonics.shader"
		file = "resources/shaders/engine/common/skyOcclusion.shader"
		file = "resources/shaders/engine/common/luminance.shader"
	}
	semantics
	{
		skyVolume0 = SKY_LIGHTING_VOLUME_TEXTURE0
		skyVolume1 = SKY_LIGHTING_VOLUME_TEXTURE1
		skyVolume2 = SKY_LIGHTING_VOLUME_TEXTURE2
		skyVolume3 = SKY_LIGHTING_VOLUME_TEXTURE3
		skyVolume4 = SKY_LIGHTING_VOLUME_TEXTURE4
		skyVolume5 = SKY_LIGHTING_VOLUME_TEXTURE5
		skyVolume6 = SKY_LIGHTING_VOLUME_TEXTURE6
		skyVolumeWidth = SKY_LIGHTING_VOLUME_WIDTH
		skyVolumeHeight = SKY_LIGHTING_VOLUME_HEIGHT
		skyVolumeLength = SKY_LIGHTING_VOLUME_LENGTH
		skyCellSize = SKY_LIGHTING_VOLUME_WORLDSPACE_TEXEL_SIZE
		occlusionBoxMinimum = SKY_LIGHTING_OCCLUSION_BOX_MINIMUM
		occlusionBoxMaximum = SKY_LIGHTING_OCCLUSION_BOX_MAXIMUM
	}
	code = "
// Reading the sky lighting volume at a surface. The volume spans x and z from -width/2 to
// width/2 and y from 0 to height around the world origin; a point beyond its sides or above it
// sees the open sky, a point below its floor (a dip in the ground) takes the floor's cells.
//
// The cells are interpolated by hand: of the eight cells around the point only those it sees are
// mixed, the cells behind an occlusion quad (the other side of a wall) are left out and the
// weights of the rest renormalised. A cell grid turned against a wall would otherwise mix outside
// cells into the room along a staircase. A point that sees none of its cells is enclosed by the
// quads and gets no sky light.
uniform sampler3D skyVolume0;
uniform sampler3D skyVolume1;
uniform sampler3D skyVolume2;
uniform sampler3D skyVolume3;
uniform sampler3D skyVolume4;
uniform sampler3D skyVolume5;
uniform sampler3D skyVolume6;
uniform float skyVolumeWidth;
uniform float skyVolumeHeight;
uniform float skyVolumeLength;
uniform float skyCellSize;
// The box around all occlusion quads (empty without quads).
uniform vec3 occlusionBoxMinimum;
uniform vec3 occlusionBoxMaximum;
// How far off its surface a reading starts, so that a surface lying on a quad does not cross it.
const float SKY_SURFACE_OFFSET = 0.05;

// A world point's texture coordinate in the volume: x and z across its sides, its layers upward.
vec3 skyVolumeCoordinates(vec3 position)
{
    return vec3(position.x / skyVolumeWidth + 0.5, position.z / skyVolumeLength + 0.5, position.y / skyVolumeHeight);
}

// The volume's coefficients at texture coordinate t (x, z, layer), filtered by the textures.
void skyVolumeTexel(vec3 t, out vec3 coefficients[9])
{
    unpackHarmonics(texture3D(skyVolume0, t), texture3D(skyVolume1, t), texture3D(skyVolume2, t),
                    texture3D(skyVolume3, t), texture3D(skyVolume4, t), texture3D(skyVolume5, t),
                    texture3D(skyVolume6, t).rgb, coefficients);
}

// Adds the cell with texel index c (x, z, layer) with the given weight (read at the texel's
// centre, where filtering returns the texel itself).
void addSkyCell(vec3 c, vec3 cells, float weight, inout vec3 coefficients[9])
{
    vec3 cell[9];
    skyVolumeTexel((c + 0.5) / cells, cell);
    for (int k = 0; k < 9; ++k)
        coefficients[k] += cell[k] * weight;
}

// The volume's light at a world point inside its box, from the cells the point sees; false when
// it sees none.
bool skyVolumeHarmonics(vec3 position, int near[OCCLUSION_NEAR_QUADS], int nearCount, out vec3 coefficients[9])
{
    vec3 t = skyVolumeCoordinates(position);
    // Without a quad within reach every cell is seen: the textures' own filtering mixes them.
    if (nearCount == 0) {
        skyVolumeTexel(t, coefficients);
        return true;
    }
    for (int k = 0; k < 9; ++k)
        coefficients[k] = vec3(0.0);
    vec3 cells = vec3(skyVolumeWidth, skyVolumeLength, skyVolumeHeight) / skyCellSize;
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
        vec3 centre = vec3((c.x + 0.5) * skyCellSize - 0.5 * skyVolumeWidth, (c.z + 0.5) * skyCellSize,
                           (c.y + 0.5) * skyCellSize - 0.5 * skyVolumeLength);
        if (firstCrossingOf(near, nearCount, position, centre - position) < 1.0)
            continue;
        addSkyCell(c, cells, weight, coefficients);
        total += weight;
    }
    if (total < 1e-4)
        return false;
    for (int k = 0; k < 9; ++k)
        coefficients[k] /= total;
    return true;
}

// Where a surface reads the volume: one cell out along its geometry normal, so that the cells
// read lie in front of the surface rather than inside it, but never beyond an occlusion quad the
// way out crosses (stopping halfway to it). Also lists the quads near the point for its reading.
vec3 skyReadingPoint(vec3 surfacePosition, vec3 geometryNormal, out int near[OCCLUSION_NEAR_QUADS], out int nearCount)
{
    vec3 surface = surfacePosition + geometryNormal * SKY_SURFACE_OFFSET;
    vec3 way = geometryNormal * skyCellSize;
    // Every segment tested from the reading point lies within two cells of the surface point.
    nearCount = 0;
    vec3 reachMinimum = surface - 2.0 * skyCellSize;
    vec3 reachMaximum = surface + 2.0 * skyCellSize;
    if (all(lessThanEqual(occlusionBoxMinimum, reachMaximum)) && all(greaterThanEqual(occlusionBoxMaximum, reachMinimum)))
        nearCount = nearOcclusionQuads(reachMinimum, reachMaximum, near);
    float crossing = firstCrossingOf(near, nearCount, surface, way);
    return surface + way * (crossing < 1.0 ? 0.5 * crossing : 1.0);
}

bool insideSkyVolume(vec3 position)
{
    return abs(position.x) <= 0.5 * skyVolumeWidth && abs(position.z) <= 0.5 * skyVolumeLength &&
           position.y <= skyVolumeHeight;
}

// The sky light a normal gets from the first two bands of the volume's coefficients at texture
// coordinate t, as luminance: enough to tell how much of the sky a point sees.
float skyLuminanceLowOrder(vec3 t, vec3 n)
{
    vec3 light = lowOrderHarmonicsIrradiance(texture3D(skyVolume0, t), texture3D(skyVolume1, t),
                                             texture3D(skyVolume2, t), n);
    return luminanceOf(light);
}

// How open a surface is to the world around it, 0 to 1: the sky light its normal gets from the
// volume one cell out along its normal, over what the same normal gets from the volume's top
// layer, which lies above every occlusion quad and so sees the open sky. The quads are the walls
// and roofs of enclosed spaces, so the ratio falls to the share of the openings inside a room and
// stays near 1 on a wall or the ground outside. The cells are read as the textures filter them,
// without the quad tests of the sky light itself: the ratio needs only the cells' broad level.
float skyOpenness(vec3 surfacePosition, vec3 geometryNormal, vec3 shadingNormal)
{
    vec3 position = surfacePosition + geometryNormal * (SKY_SURFACE_OFFSET + skyCellSize);
    if (!insideSkyVolume(position))
        return 1.0;
    vec3 t = skyVolumeCoordinates(position);
    float seen = skyLuminanceLowOrder(t, shadingNormal);
    float open = skyLuminanceLowOrder(vec3(t.xy, 1.0 - 0.5 * skyCellSize / skyVolumeHeight), shadingNormal);
    return open > 1e-6 ? clamp(seen / open, 0.0, 1.0) : 1.0;
}
"
}
