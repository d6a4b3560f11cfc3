shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
	}
	semantics
	{
		colorTexture = MATERIAL_COLOR_TEXTURE
		alphaThreshold = MATERIAL_ALPHA_TEST_TRESHOLD
		lightColor = LIGHT_COLOR
		lightDirection = LIGHT_DIRECTION
	}
	code = "
// Attachment 0: the sunlight the surface reflects, its colour times the sun's irradiance times
// the cosine of the sun's angle (the surface's radiant exitance). Attachment 1: the normal on the
// side the sun sees. The depth texture keeps the surface's light depth.
uniform sampler2D colorTexture;
uniform float alphaThreshold;
uniform vec4 lightColor;
uniform vec3 lightDirection;

varying vec3 worldNormal;

void main()
{
    vec4 albedo = texture2D(colorTexture, gl_TexCoord[0].xy);
    if (albedo.a < alphaThreshold)
        discard;
    vec3 n = normalize(worldNormal) * (gl_FrontFacing ? 1.0 : -1.0);
    float cosine = max(dot(n, -normalize(lightDirection)), 0.0);
    gl_FragData[0] = vec4(albedo.rgb * lightColor.rgb * cosine, 1.0);
    gl_FragData[1] = vec4(n, 1.0);
}
"
}
