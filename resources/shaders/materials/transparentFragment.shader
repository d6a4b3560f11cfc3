shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/common/skyMapping.shader"
	}
	semantics
	{
		skyMap = SKY_MAP_TEXTURE
		sunLightDirection = SUN_LIGHT_DIRECTION
	}
	code = "
// Sunlight wrapped around the surface (thin, translucent sheets are lit from both sides) plus
// the sky seen straight up as ambient. The material's texture is stored gamma encoded and read
// without decoding, so it is decoded here; its alpha is the coverage.
uniform sampler2D colorMap;
uniform sampler2D skyMap;
uniform vec3 sunLightDirection;
varying vec3 worldNormal;
varying vec3 sunColor;

void main()
{
    vec4 texel = texture2D(colorMap, gl_TexCoord[0].xy);
    vec3 albedo = pow(texel.rgb, vec3(2.2));
    vec3 n = normalize(worldNormal);
    float facing = abs(dot(n, -normalize(sunLightDirection)));
    vec3 sky = texture2D(skyMap, skyMapCoordinates(vec3(0.0, 1.0, 0.0))).rgb;
    vec3 light = sunColor * (0.25 + 0.75 * facing) / 3.14159265 + sky;
    gl_FragColor = vec4(albedo * light, texel.a);
}
"
}
