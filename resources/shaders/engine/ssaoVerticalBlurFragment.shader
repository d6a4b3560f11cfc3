shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/common/viewRays.shader"
		file = "resources/shaders/engine/common/ssaoBlur.shader"
	}
	semantics
	{
		horizontallyBlurred = SSAO_TEXTURE
	}
	code = "
// Vertical half of the ambient-occlusion blur. The pass binds the horizontally blurred factor to
// this sampler and blends with (zero, source alpha): the scene's colour is multiplied by the
// alpha written here, the ambient factor.
uniform sampler2D horizontallyBlurred;

void main()
{
    gl_FragColor = vec4(blurredAmbient(horizontallyBlurred, vec2(0.0, 1.0), false));
}
"
}
