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
		occlusion = SSAO_TEXTURE
	}
	code = "
// Horizontal half of the ambient-occlusion blur: half-size ambient factor in, full size out.
uniform sampler2D occlusion;

void main()
{
    gl_FragColor = vec4(blurredAmbient(occlusion, vec2(1.0, 0.0), true));
}
"
}
