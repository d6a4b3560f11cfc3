shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/lightPropagationVolume/sphericalHarmonics.shader"
		file = "resources/shaders/engine/lightPropagationVolume/volumeLayout.shader"
		file = "resources/shaders/engine/lightPropagationVolume/geometryVolume.shader"
		file = "resources/shaders/engine/lightPropagationVolume/propagationStep.shader"
		file = "resources/shaders/engine/lightPropagationVolume/faceBlocking.shader"
	}
	code = "
// The propagation step through the scene's surfaces: the light crossing a face is held back by
// the blocking the geometry volume holds there (faceTransmittance).
"
}
