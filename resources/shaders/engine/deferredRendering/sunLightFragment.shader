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
		lightMask = LIGHT_MASK_TEXTURE
		gBufferPosition = GBUFFER_POSITION_TEXTURE
		gBufferGeometryNormal = GBUFFER_GEOMETRY_NORMAL_TEXTURE
		gBufferDepth = GBUFFER_DEPTH_TEXTURE
		lightColor = LIGHT_COLOR
		lightDirection = LIGHT_DIRECTION
	}
	code = "
// The sun on the rasterised G-buffer. Unit 0 carries the screen coordinates, unit 1 the view
// ray at unit depth; the light mask holds everything that keeps sunlight from a pixel.
uniform sampler2D gBufferColor;
uniform sampler2D gBufferNormal;
uniform sampler2D lightMask;
uniform sampler2D gBufferPosition;
uniform sampler2D gBufferGeometryNormal;
uniform sampler2D gBufferDepth;
uniform vec4 lightColor;
uniform vec3 lightDirection;

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    float visibility = texture2D(lightMask, uv).r;
    // Soft shadow from the cascade of the pixel's view depth; unit 2 tiles the noise.
    visibility *= sunShadowFactor(texture2D(gBufferPosition, uv).xyz, texture2D(gBufferGeometryNormal, uv).xyz,
                                  texture2D(gBufferDepth, uv).r, gl_TexCoord[2].xy);
    vec3 towardViewer = -normalize(gl_TexCoord[1].xyz);
    vec3 towardLight = -normalize(lightDirection);
    vec3 light = reflectedLight(texture2D(gBufferColor, uv), texture2D(gBufferNormal, uv), towardLight,
                                towardViewer, lightColor.rgb * visibility);
    gl_FragColor = vec4(light, 1.0);
}
"
}
