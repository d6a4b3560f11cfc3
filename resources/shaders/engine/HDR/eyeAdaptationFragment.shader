shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
	}
	semantics
	{
		averageLogLuminance = HDR_SCENE_AVERAGE_LUMINANCE_TEXTURE
		previousAdaptation = HDR_PREVIOUS_FRAME_LUMINANCE_TEXTURE
		elapsedTime = ELAPSED_TIME
	}
	code = "
// The eye's adapted luminance follows the scene's geometric mean luminance exponentially, in
// log space, faster toward brightness than toward darkness, as the eye does.
uniform sampler2D averageLogLuminance;
uniform sampler2D previousAdaptation;
uniform float elapsedTime;

void main()
{
    // A large bias selects the smallest mipmap level: the average of the whole image.
    float sceneLuminance = exp(texture2D(averageLogLuminance, vec2(0.5), 16.0).r);
    float previous = max(texture2D(previousAdaptation, vec2(0.5)).r, 1e-4);
    float rate = sceneLuminance > previous ? 2.0 : 1.0;
    float blend = 1.0 - exp(-max(elapsedTime, 0.0) * rate);
    float adapted = exp(mix(log(previous), log(max(sceneLuminance, 1e-4)), blend));
    gl_FragColor = vec4(clamp(adapted, 1e-4, 6.0e4));
}
"
}
