shader
{
	includes
	{
		file = "resources/shaders/engine/common/luminance.shader"
	}
	semantics
	{
		sceneColor = HDR_MAIN_FRAME_BUFFER_COLOR_TEXTURE
		history = TEMPORAL_HISTORY_TEXTURE
		blend = TEMPORAL_BLEND
		adaptedExposure = HDR_EXPOSURE_TEXTURE
		fixedExposure = HDR_FIXED_EXPOSURE
	}
	code = "
// What both temporal resolve programs share: the frame's colour, the history and the blend
// (x: the current frame's weight, zw: one texel), and colours taken to and from the tone map's
// display scale. Colours are averaged as the tone map will show them: each is scaled by the
// filmic curve's mapped over its own luminance at the current exposure, blended, and scaled back,
// so that the tone-mapped result is the mean of the tone-mapped samples (as a supersampled frame
// filtered on the display would be) and one bright sample does not outweigh many dark ones.
uniform sampler2D sceneColor;
uniform sampler2D history;
uniform vec4 blend;
uniform sampler2D adaptedExposure;
uniform float fixedExposure;

float frameExposure()
{
    float exposure = fixedExposure > 0.0 ? fixedExposure : texture2D(adaptedExposure, vec2(0.5)).r;
    // Before the first measurement the exposure target holds nothing meaningful.
    return exposure > 1e-6 && exposure < 1e6 ? exposure : 1.0;
}

vec3 toDisplay(vec3 color, float exposure)
{
    color = max(color, vec3(0.0));
    float luminance = luminanceOf(color);
    return luminance > 1e-8 ? color * (filmicLuminance(luminance * exposure) / luminance) : vec3(0.0);
}

vec3 fromDisplay(vec3 mapped, float exposure)
{
    float luminance = luminanceOf(mapped);
    return luminance > 1e-8 ? mapped * (inverseFilmicLuminance(luminance) / (exposure * luminance)) : vec3(0.0);
}
"
}
