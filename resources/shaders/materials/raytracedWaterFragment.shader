shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/materials/reflectionBlend.shader"
	}
	code = "
// Still water: reflectance 0.02 at normal incidence, rising towards grazing angles.
void main()
{
    gl_FragColor = blendedReflection(0.02, vec3(1.0));
}
"
}
