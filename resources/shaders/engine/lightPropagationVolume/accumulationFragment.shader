shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/lightPropagationVolume/volumeLayout.shader"
	}
	semantics
	{
		source0 = LIGHT_PROPAGATION_VOLUME_TEXTURE0
		source1 = LIGHT_PROPAGATION_VOLUME_TEXTURE1
		source2 = LIGHT_PROPAGATION_VOLUME_TEXTURE2
		source3 = LIGHT_PROPAGATION_VOLUME_TEXTURE3
	}
	code = "
// Copies the step just propagated; blending one, one adds it into the accumulation volume.
// Texels are read at their exact centres, where linear filtering returns the texel itself.
uniform sampler2D source0;
uniform sampler2D source1;
uniform sampler2D source2;
uniform sampler2D source3;

void main()
{
    vec2 uv = gl_FragCoord.xy / vec2(volumeWidthCells * volumeHeightCells, volumeLengthCells);
    gl_FragData[0] = texture2D(source0, uv);
    gl_FragData[1] = texture2D(source1, uv);
    gl_FragData[2] = texture2D(source2, uv);
    gl_FragData[3] = texture2D(source3, uv);
}
"
}
