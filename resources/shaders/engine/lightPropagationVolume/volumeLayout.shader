shader
{
	semantics
	{
		volumePosition = LIGHT_PROPAGATION_VOLUME_POSITION
		volumeCellSize = LIGHT_PROPAGATION_VOLUME_WORLDSPACE_TEXEL_SIZE
		volumeWidthCells = LIGHT_PROPAGATION_VOLUME_WIDTH_RESOLUTION
		volumeHeightCells = LIGHT_PROPAGATION_VOLUME_HEIGHT_RESOLUTION
		volumeLengthCells = LIGHT_PROPAGATION_VOLUME_LENGTH_RESOLUTION
	}
	code = "
// A volume of W x H x L cells centred on volumePosition. Its cells live in targets of (W H) x L
// texels: layer j of cells (world y) occupies columns W j .. W j + W - 1 (world x), and the
// target's rows are world z.
uniform vec3 volumePosition;
uniform float volumeCellSize;
uniform float volumeWidthCells;
uniform float volumeHeightCells;
uniform float volumeLengthCells;

vec3 volumeCells()
{
    return vec3(volumeWidthCells, volumeHeightCells, volumeLengthCells);
}

vec3 volumeMinimumCorner()
{
    return volumePosition - 0.5 * volumeCellSize * volumeCells();
}

// Texture coordinate of the centre of cell (x, y, z), integer-valued.
vec2 volumeCellCoordinates(vec3 cell)
{
    return vec2((cell.y * volumeWidthCells + cell.x + 0.5) / (volumeWidthCells * volumeHeightCells),
                (cell.z + 0.5) / volumeLengthCells);
}

// Texture coordinate of the point (x, z) of layer `layer`, x and z in cells with cell centres at
// whole numbers; x must lie within the layer (0 .. W - 1) so that filtering stays in it.
vec2 volumeLayerCoordinates(vec2 xz, float layer)
{
    return vec2((layer * volumeWidthCells + xz.x + 0.5) / (volumeWidthCells * volumeHeightCells),
                (xz.y + 0.5) / volumeLengthCells);
}

// The cell a target texel holds, from the texel's column and row.
vec3 volumeCellOfTexel(vec2 texel)
{
    float layer = floor(texel.x / volumeWidthCells);
    return vec3(texel.x - layer * volumeWidthCells, layer, texel.y);
}

bool volumeContainsCell(vec3 cell)
{
    return all(greaterThanEqual(cell, vec3(0.0))) && all(lessThan(cell, volumeCells()));
}

// How far inside a box a point lies, in cells: 0 on its border, negative outside. Weights fall
// from 1 to 0 between fadeEnd and fadeStart cells from the border, where light arriving from
// outside the box is missing.
float volumeBoxFade(vec3 p, vec3 minimumCorner, vec3 maximumCorner, float cellSize)
{
    const float fadeStart = 1.0;
    const float fadeEnd = 4.0;
    vec3 inside = min(p - minimumCorner, maximumCorner - p) / cellSize;
    float depth = min(inside.x, min(inside.y, inside.z));
    return smoothstep(fadeStart, fadeEnd, depth);
}

float volumeFade(vec3 p)
{
    vec3 lo = volumeMinimumCorner();
    return volumeBoxFade(p, lo, lo + volumeCellSize * volumeCells(), volumeCellSize);
}
"
}
