shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
	}
	semantics
	{
		gBufferGeometryNormal = GBUFFER_GEOMETRY_NORMAL_TEXTURE
		gBufferNormal = GBUFFER_NORMAL_TEXTURE
		lightDirection = LIGHT_DIRECTION
	}
	code = "
// How much sunlight reaches each covered pixel. A surface whose geometry turns away from the sun
// receives none, even where its normal map tilts the shading normal toward it; the fade over a
// few degrees keeps the terminator from aliasing.
uniform sampler2D gBufferGeometryNormal;
uniform sampler2D gBufferNormal;
uniform vec3 lightDirection;

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    vec3 towardLight = -normalize(lightDirection);
    vec3 geometryNormal = texture2D(gBufferGeometryNormal, uv).xyz;
    float geometryFacing = dot(geometryNormal, towardLight);
    float shadingFacing = dot(texture2D(gBufferNormal, uv).xyz, towardLight);
    float visibility = smoothstep(-0.02, 0.08, geometryFacing) * step(0.0, shadingFacing);
    gl_FragColor = vec4(visibility);
}
"
}
