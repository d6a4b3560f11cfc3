shader
{
	semantics
	{
		accumulated0 = LIGHT_PROPAGATION_ACCUMULATION_VOLUME_TEXTURE0
		accumulated1 = LIGHT_PROPAGATION_ACCUMULATION_VOLUME_TEXTURE1
		accumulated2 = LIGHT_PROPAGATION_ACCUMULATION_VOLUME_TEXTURE2
		accumulated3 = LIGHT_PROPAGATION_ACCUMULATION_VOLUME_TEXTURE3
	}
	code = "
// Reads the accumulated volume anywhere with trilinear interpolation: the targets' linear
// filtering interpolates within a layer (x and z), kept off the neighbouring layers by clamping
// to the layer's outer texel centres, and two layers are mixed along y here.
uniform sampler2D accumulated0;
uniform sampler2D accumulated1;
uniform sampler2D accumulated2;
uniform sampler2D accumulated3;

ShCell readAccumulatedLayer(vec2 xz, float layer)
{
    vec2 uv = volumeLayerCoordinates(xz, layer);
    ShCell c;
    c.c0 = texture2D(accumulated0, uv).rgb;
    c.cx = texture2D(accumulated1, uv).rgb;
    c.cy = texture2D(accumulated2, uv).rgb;
    c.cz = texture2D(accumulated3, uv).rgb;
    return c;
}

ShCell sampleAccumulatedLight(vec3 p)
{
    vec3 g = (p - volumeMinimumCorner()) / volumeCellSize - 0.5;
    g = clamp(g, vec3(0.0), volumeCells() - 1.0);
    float lower = floor(g.y);
    float upper = min(lower + 1.0, volumeHeightCells - 1.0);
    float f = g.y - lower;
    ShCell a = readAccumulatedLayer(g.xz, lower);
    ShCell b = readAccumulatedLayer(g.xz, upper);
    ShCell c;
    c.c0 = mix(a.c0, b.c0, f);
    c.cx = mix(a.cx, b.cx, f);
    c.cy = mix(a.cy, b.cy, f);
    c.cz = mix(a.cz, b.cz, f);
    return c;
}

// Where a surface reads the volume: half a cell out along its normal, in the cells its own
// injected light went into and the light arriving at its front lies in.
vec3 surfaceSamplePoint(vec3 p, vec3 n)
{
    return p + n * (0.5 * volumeCellSize);
}
"
}
