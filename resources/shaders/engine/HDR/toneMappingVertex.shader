shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
	}
	semantics
	{
		adaptedExposure = HDR_EXPOSURE_TEXTURE
		fixedExposure = HDR_FIXED_EXPOSURE
	}
	code = "
// The exposure is the same for every pixel, so it is fetched once per vertex: the fixed exposure
// when one is set (above 0), else the value the exposure pass worked out from this frame's
// adapted luminance into the 1 x 1 exposure target.
uniform sampler2D adaptedExposure;
uniform float fixedExposure;
varying float exposure;

void main()
{
    exposure = fixedExposure > 0.0 ? fixedExposure : texture2DLod(adaptedExposure, vec2(0.5), 0.0).r;
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_Position = ftransform();
}
"
}
