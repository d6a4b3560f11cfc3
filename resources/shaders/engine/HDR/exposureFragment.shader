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
// The exposure of the frame, worked out once from the 1 x 1 adapted luminance into the 1 x 1
// exposure target, which the tone map reads (and tools read back, so that the value the frame
// used is known without a second copy of this curve). It runs after the adaptation pass, when
// the 'previous frame' target holds the value adapted in this frame (the index flipped).
uniform sampler2D adaptedLuminance;

void main()
{
    float luminance = max(texture2D(adaptedLuminance, vec2(0.5)).r, 1e-4);
    // Brighter scenes get a higher key, as a photographer would expose them. The key curve is
    // made for luminances in cd/m2; one unit of the HDR target is about 2000 cd/m2 (a sunlit
    // white wall reads about 2), so the adapted value is scaled before it enters the curve.
    float key = 1.03 - 2.0 / (2.0 + log(luminance * 2000.0 + 1.0) / log(10.0));
    gl_FragColor = vec4(key / luminance);
}
"
}
