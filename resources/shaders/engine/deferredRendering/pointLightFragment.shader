shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/common/surfaceLighting.shader"
	}
	semantics
	{
		gBufferColor = GBUFFER_COLOR_TEXTURE
		gBufferNormal = GBUFFER_NORMAL_TEXTURE
		gBufferPosition = GBUFFER_POSITION_TEXTURE
		lightColor = LIGHT_COLOR
		lightPosition = LIGHT_POSITION
		lightRadius = LIGHT_RADIUS
		cameraPosition = CAMERA_POSITION
	}
	code = "
// A point light of finite reach: inverse-square falloff windowed so that it reaches exactly zero
// at the light's radius, which is what its scissor rectangle encloses.
uniform sampler2D gBufferColor;
uniform sampler2D gBufferNormal;
uniform sampler2D gBufferPosition;
uniform vec4 lightColor;
uniform vec3 lightPosition;
uniform float lightRadius;
uniform vec3 cameraPosition;

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    vec3 position = texture2D(gBufferPosition, uv).xyz;
    vec3 toLight = lightPosition - position;
    float distanceSquared = max(dot(toLight, toLight), 1e-4);
    float ratio = sqrt(distanceSquared) / max(lightRadius, 1e-4);
    float window = clamp(1.0 - ratio * ratio * ratio * ratio, 0.0, 1.0);
    float attenuation = window * window / distanceSquared;
    vec3 towardLight = toLight * inversesqrt(distanceSquared);
    vec3 towardViewer = normalize(cameraPosition - position);
    vec3 light = reflectedLight(texture2D(gBufferColor, uv), texture2D(gBufferNormal, uv), towardLight,
                                towardViewer, lightColor.rgb * attenuation);
    gl_FragColor = vec4(light, 1.0);
}
"
}
