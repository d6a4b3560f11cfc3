shader
{
	includes
	{
		file = "resources/shaders/engine/lightPropagationVolume/lightSending.shader"
	}
	code = "
// One propagation step: every cell gathers the light its six neighbours send toward it.

// The share of the light crossing the face into the cell along d that gets through; the
// fragment shader that includes this step defines it.
float faceTransmittance(vec3 cell, vec3 d);

void gather(vec3 cell, vec3 d, inout ShCell result)
{
    vec3 from = cell - d;
    if (!volumeContainsCell(from))
        return;
    ShCell neighbour = readCell(from);
    vec3 flux = lightSentToward(neighbour, d) * faceTransmittance(cell, d);
    vec3 t = directionThroughFace(neighbour, d);
    addCrossingLight(result, flux, t);
}

void main()
{
    vec3 cell = volumeCellOfTexel(floor(gl_FragCoord.xy));
    ShCell result = cellWithoutLight();
    gather(cell, vec3(1.0, 0.0, 0.0), result);
    gather(cell, vec3(-1.0, 0.0, 0.0), result);
    gather(cell, vec3(0.0, 1.0, 0.0), result);
    gather(cell, vec3(0.0, -1.0, 0.0), result);
    gather(cell, vec3(0.0, 0.0, 1.0), result);
    gather(cell, vec3(0.0, 0.0, -1.0), result);
    writeCellTargets(result);
}
"
}
