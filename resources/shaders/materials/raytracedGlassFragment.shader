shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/materials/reflectionBlend.shader"
	}
	code = "
// A double-glazed pane: four glass-air faces reflect about 4 % each, so some 15 % of the light
// at normal incidence comes back.
void main()
{
    gl_FragColor = blendedReflection(0.15, vec3(1.0));
}
"
}
