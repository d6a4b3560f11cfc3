shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
	}
	semantics
	{
		gBufferGeometryNormal = GBUFFER_GEOMETRY_NORMAL_TEXTURE
		gBufferPosition = GBUFFER_POSITION_TEXTURE
		lightPosition = LIGHT_POSITION
		lightRadius = LIGHT_RADIUS
	}
	code = "
// Which covered pixels a point light can reach: inside its radius and on the side of the
// surface that faces it.
uniform sampler2D gBufferGeometryNormal;
uniform sampler2D gBufferPosition;
uniform vec3 lightPosition;
uniform float lightRadius;

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    vec3 toLight = lightPosition - texture2D(gBufferPosition, uv).xyz;
    float dist = length(toLight);
    float facing = dot(texture2D(gBufferGeometryNormal, uv).xyz, toLight / max(dist, 1e-4));
    float visibility = smoothstep(-0.02, 0.08, facing) * (1.0 - smoothstep(0.9, 1.0, dist / max(lightRadius, 1e-4)));
    gl_FragColor = vec4(visibility);
}
"
}
