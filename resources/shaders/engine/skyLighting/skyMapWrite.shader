shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/common/atmosphere.shader"
		file = "resources/shaders/engine/common/skyMapping.shader"
	}
	semantics
	{
		sunLightDirection = SUN_LIGHT_DIRECTION
	}
	code = "
// One texel of the sky map: the single-scattered sky radiance seen in the texel's direction.
uniform vec3 sunLightDirection;

void main()
{
    vec3 direction = skyMapDirection(gl_TexCoord[0].xy);
    gl_FragColor = vec4(skyRadiance(direction, -normalize(sunLightDirection)), 1.0);
}
"
}
