shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/lightPropagationVolume/sphericalHarmonics.shader"
		file = "resources/shaders/engine/lightPropagationVolume/volumeLayout.shader"
		file = "resources/shaders/engine/lightPropagationVolume/geometryVolume.shader"
		file = "resources/shaders/engine/lightPropagationVolume/lightSending.shader"
		file = "resources/shaders/engine/lightPropagationVolume/faceBlocking.shader"
	}
	code = "
// The light a propagation step's surfaces stop, added to the accumulation volume in the cell it
// was stopped from. The share of a cell's light that a face holds back is light arriving at the
// surfaces at that face: without it a wall would read only the light running past it, and the
// ground's bounce onto a sunlit wall would be held back by the wall's own blocking one face before
// it arrives. Stored as the lobe it travelled in and not propagated further, it lights the
// surfaces it was heading for for one step, as it would light them without occlusion.
void sendStopped(ShCell cell, vec3 from, vec3 d, inout ShCell result)
{
    vec3 to = from + d;
    if (!volumeContainsCell(to))
        return;
    float stopped = 1.0 - faceTransmittance(to, d);
    if (stopped <= 0.0)
        return;
    vec3 flux = lightSentToward(cell, d) * stopped;
    vec3 t = directionThroughFace(cell, d);
    addCrossingLight(result, flux, t);
}

void main()
{
    vec3 cell = volumeCellOfTexel(floor(gl_FragCoord.xy));
    ShCell source = readCell(cell);
    ShCell result = cellWithoutLight();
    sendStopped(source, cell, vec3(1.0, 0.0, 0.0), result);
    sendStopped(source, cell, vec3(-1.0, 0.0, 0.0), result);
    sendStopped(source, cell, vec3(0.0, 1.0, 0.0), result);
    sendStopped(source, cell, vec3(0.0, -1.0, 0.0), result);
    sendStopped(source, cell, vec3(0.0, 0.0, 1.0), result);
    sendStopped(source, cell, vec3(0.0, 0.0, -1.0), result);
    writeCellTargets(result);
}
"
}
