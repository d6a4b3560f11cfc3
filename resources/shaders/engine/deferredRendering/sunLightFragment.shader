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
		lightMask = LIGHT_MASK_TEXTURE
		lightColor = LIGHT_COLOR
		lightDirection = LIGHT_DIRECTION
	}
	code = "
// The sun on the rasterised G-buffer. Unit 0 carries the screen coordinates, unit 1 the view
// ray at unit depth; the light mask holds everything that keeps sunlight from a pixel.
uniform sampler2D gBufferColor;
uniform sampler2D gBufferNormal;
uniform sampler2D lightMask;
uniform vec4 lightColor;
uniform vec3 lightDirection;

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    float visibility = texture2D(lightMask, uv).r;
    vec3 towardViewer = -normalize(gl_TexCoord[1].xyz);
    vec3 towardLight = -normalize(lightDirection);
    vec3 light = reflectedLight(texture2D(gBufferColor, uv), texture2D(gBufferNormal, uv), towardLight,
                                towardViewer, lightColor.rgb * visibility);
    gl_FragColor = vec4(light, 1.0);
}
"
}
