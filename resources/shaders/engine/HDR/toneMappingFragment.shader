shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
	}
	semantics
	{
		sceneColor = HDR_MAIN_FRAME_BUFFER_COLOR_TEXTURE
	}
	code = "
// Filmic curve (toe, linear section, soft shoulder) applied to the exposed scene. The output is
// linear; the sRGB framebuffer encodes it.
uniform sampler2D sceneColor;
varying float exposure;

vec3 filmic(vec3 x)
{
    const float A = 0.15; // shoulder strength
    const float B = 0.50; // linear strength
    const float C = 0.10; // linear angle
    const float D = 0.20; // toe strength
    const float E = 0.02; // toe numerator
    const float F = 0.30; // toe denominator
    return ((x * (A * x + C * B) + D * E) / (x * (A * x + B) + D * F)) - E / F;
}

void main()
{
    const float whitePoint = 11.2;
    const float exposureBias = 1.0;
    vec3 color = max(texture2D(sceneColor, gl_TexCoord[0].xy).rgb, vec3(0.0));
    vec3 mapped = filmic(color * exposure * exposureBias) / filmic(vec3(whitePoint));
    gl_FragColor = vec4(clamp(mapped, 0.0, 1.0), 1.0);
}
"
}
