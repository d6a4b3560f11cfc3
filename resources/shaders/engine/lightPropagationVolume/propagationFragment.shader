shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/lightPropagationVolume/sphericalHarmonics.shader"
		file = "resources/shaders/engine/lightPropagationVolume/volumeLayout.shader"
		file = "resources/shaders/engine/lightPropagationVolume/propagationStep.shader"
	}
	code = "
// The propagation step through empty space: every face lets all light through.
float faceTransmittance(vec3 cell, vec3 d)
{
    return 1.0;
}
"
}
