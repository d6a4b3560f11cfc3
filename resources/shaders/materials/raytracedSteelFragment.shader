shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/materials/reflectionBlend.shader"
	}
	code = "
// Stainless steel: a metal, which reflects more than half of the light at normal incidence, with
// a faint tint of its own.
void main()
{
    gl_FragColor = blendedReflection(0.56, vec3(0.97, 0.98, 1.0));
}
"
}
