shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
	}
	semantics
	{
		adaptedLuminance = HDR_PREVIOUS_FRAME_LUMINANCE_TEXTURE
	}
	code = "
// The exposure is the same for every pixel, so it is worked out once per vertex from the 1 x 1
// adapted luminance. While tone mapping runs, the 'previous frame' target holds the value
// adapted in this frame (the index flipped after the adaptation pass).
uniform sampler2D adaptedLuminance;
varying float exposure;

void main()
{
    float luminance = max(texture2DLod(adaptedLuminance, vec2(0.5), 0.0).r, 1e-4);
    // Brighter scenes get a higher key, as a photographer would expose them. The key curve is
    // made for luminances in cd/m2; one unit of the HDR target is about 2000 cd/m2 (a sunlit
    // white wall reads about 2), so the adapted value is scaled before it enters the curve.
    float key = 1.03 - 2.0 / (2.0 + log(luminance * 2000.0 + 1.0) / log(10.0));
    exposure = key / luminance;
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_Position = ftransform();
}
"
}
