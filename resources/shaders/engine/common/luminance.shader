shader
{
	code = "
// The luminance of linear light with the sRGB primaries (the Y row of their XYZ matrix), the
// one measure of brightness every pass uses: exposure, tone map, edge detection, history
// clipping, the propagation's main direction and the sky's openness. Guarded, so that two
// includes of a program may both bring it in.
#ifndef LUMINANCE_OF_DEFINED
#define LUMINANCE_OF_DEFINED
float luminanceOf(vec3 linearColor)
{
    return dot(linearColor, vec3(0.2126, 0.7152, 0.0722));
}
#endif
"
}
