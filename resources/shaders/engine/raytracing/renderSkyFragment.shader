shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/common/skyMapping.shader"
	}
	semantics
	{
		hitPositions = GBUFFER_POSITION_TEXTURE
		rayDirections = RAYTRACING_RAYS_DIRECTIONS_TEXTURE
		skyMap = SKY_MAP_TEXTURE
	}
	code = "
// Reflection rays that left the scene see the sky: the sky map in the ray's direction. Rays that
// hit something (position w = 0) and pixels without a ray (direction w = 0) are left alone.
uniform sampler2D hitPositions;
uniform sampler2D rayDirections;
uniform sampler2D skyMap;

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    vec4 direction = texture2D(rayDirections, uv);
    if (direction.w < 0.5 || texture2D(hitPositions, uv).w < 0.5)
        discard;
    gl_FragColor = vec4(texture2D(skyMap, skyMapCoordinates(direction.xyz)).rgb, 1.0);
}
"
}
