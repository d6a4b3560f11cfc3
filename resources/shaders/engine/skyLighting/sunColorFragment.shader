shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/common/atmosphere.shader"
	}
	semantics
	{
		sunLightDirection = SUN_LIGHT_DIRECTION
	}
	code = "
// The sunlight that is left after crossing the atmosphere to the viewer; read back into the
// sun's colour.
uniform vec3 sunLightDirection;

void main()
{
    gl_FragColor = vec4(sunColorAtViewer(-normalize(sunLightDirection)), 1.0);
}
"
}
