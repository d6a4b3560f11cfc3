shader
{
	semantics
	{
		geometryVolume = LIGHT_PROPAGATION_GEOMETRY_VOLUME_TEXTURE
	}
	code = "
// Needs volumeLayout.shader and geometryVolume.shader before it.
//
// How much of the light crossing a face between two light cells the scene's surfaces hold back:
// the blocking the geometry volume holds at the face's centre, interpolated between the four
// geometry cells at the face's corners.
uniform sampler2D geometryVolume;

vec3 readBlockingLayer(vec2 xz, float layer)
{
    return texture2D(geometryVolume, volumeLayerCoordinates(xz, layer)).rgb;
}

// The coefficients at a point in geometry-cell coordinates (cell i centred at i): the targets'
// filtering interpolates within a layer, two layers are mixed here. Kept inside the volume, so
// that a face on its last row or layer reads its own edge instead of a neighbouring layer.
vec3 blockingAt(vec3 g)
{
    g = clamp(g, vec3(0.0), volumeCells() - 1.0);
    float lower = floor(g.y);
    float upper = min(lower + 1.0, volumeHeightCells - 1.0);
    return mix(readBlockingLayer(g.xz, lower), readBlockingLayer(g.xz, upper), g.y - lower);
}

// Coverage is estimated from point samples and spread over the faces around a surface by the
// interpolation: a wall turned against the cell grid leaves a share of about a third on each of
// the faces a ray crosses, and a wall seen from one side only has one surface's worth. Counting
// each sample several times over lets such a wall close the faces it crosses; a face whose
// corners see a sixth of a cell face of surfaces across it is closed.
const float BLOCKING_GAIN = 6.0;

float faceTransmittance(vec3 cell, vec3 d)
{
    // The face between the cell and its neighbour at cell - d: its centre lies half a cell from
    // the cell's centre toward the neighbour; light cell c is centred at c + 0.5 in corner units.
    vec3 face = cell + 0.5 - 0.5 * d;
    return 1.0 - clamp(BLOCKING_GAIN * axisBlocking(blockingAt(face), d), 0.0, 1.0);
}
"
}
