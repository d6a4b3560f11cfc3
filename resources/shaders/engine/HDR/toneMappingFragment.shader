shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/common/filmicCurve.shader"
		file = "resources/shaders/engine/common/luminance.shader"
	}
	semantics
	{
		sceneColor = HDR_MAIN_FRAME_BUFFER_COLOR_TEXTURE
	}
	code = "
// The filmic curve (common/filmicCurve) applied to the exposed scene's luminance; the
// colour is scaled with it, so hue and saturation survive the shoulder (a curve per channel
// would squeeze the bright channels of a colour toward its dim ones and turn a blue sky grey).
// A colour still too bright for the display in one channel gives up saturation rather than
// brightness. The output is linear; the sRGB framebuffer encodes it.
uniform sampler2D sceneColor;
varying float exposure;

void main()
{
    const float exposureBias = 1.0;
    vec3 color = max(texture2D(sceneColor, gl_TexCoord[0].xy).rgb, vec3(0.0)) * (exposure * exposureBias);
    float luminance = luminanceOf(color);
    float mappedLuminance = filmicLuminance(luminance);
    vec3 mapped = luminance > 1e-6 ? color * (mappedLuminance / luminance) : vec3(0.0);
    float peak = max(mapped.r, max(mapped.g, mapped.b));
    if (peak > 1.0)
        mapped = mix(mapped, vec3(mappedLuminance), clamp((peak - 1.0) / max(peak - mappedLuminance, 1e-4), 0.0, 1.0));
    gl_FragColor = vec4(clamp(mapped, 0.0, 1.0), 1.0);
}
"
}
