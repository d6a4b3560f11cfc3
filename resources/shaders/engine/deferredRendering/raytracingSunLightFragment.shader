shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/common/surfaceLighting.shader"
		file = "resources/shaders/engine/shadows/softShadows.shader"
	}
	semantics
	{
		gBufferColor = GBUFFER_COLOR_TEXTURE
		gBufferNormal = GBUFFER_NORMAL_TEXTURE
		gBufferPosition = GBUFFER_POSITION_TEXTURE
		rayOrigins = RAYTRACING_RAYS_ORIGINS_TEXTURE
		lightColor = LIGHT_COLOR
		lightDirection = LIGHT_DIRECTION
	}
	code = "
// The sun on the surfaces that reflection rays hit. Those lie anywhere in the scene, so the
// viewer of each is the ray's origin, not the camera, and their shadows come from the overlapped
// maps around the camera, which do not depend on the view frustum. Missed rays (position w = 1)
// get nothing, the sky step fills them. The traced buffer has only the shading normal, which
// stands in for the geometry normal of the shadow lookup; unit 2 tiles the noise.
uniform sampler2D gBufferColor;
uniform sampler2D gBufferNormal;
uniform sampler2D gBufferPosition;
uniform sampler2D rayOrigins;
uniform vec4 lightColor;
uniform vec3 lightDirection;

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    vec4 position = texture2D(gBufferPosition, uv);
    if (position.w > 0.5)
        discard;
    vec4 albedo = texture2D(gBufferColor, uv);
    vec4 normal = texture2D(gBufferNormal, uv);
    vec3 towardViewer = normalize(texture2D(rayOrigins, uv).xyz - position.xyz);
    // Ray-traced surfaces carry no specular map; the colour's alpha is the texture's, so the
    // highlight is kept modest.
    albedo.a *= 0.25;
    normal.w = 32.0;
    float visibility = overlappedSunShadowFactor(position.xyz, normal.xyz, gl_TexCoord[2].xy);
    vec3 light = reflectedLight(albedo, normal, -normalize(lightDirection), towardViewer,
                                lightColor.rgb * visibility);
    gl_FragColor = vec4(light, 1.0);
}
"
}
