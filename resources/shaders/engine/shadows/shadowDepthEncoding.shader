shader {
    code = "
// Sun shadow maps store, per texel, the light-space depth d . p (world units along the direction
// the light travels) of the nearest occluder as exp(-0.03 * depth) in a 16-bit float. The map is
// cleared to 0, which decodes as infinitely far: texels nothing was drawn into never shadow. The
// exponential keeps the half float's relative precision uniform in depth: about 2-3 cm anywhere
// from -369 to 323 world units (half-float normals), ample for both map families' depth ranges.
const float shadowDepthEncodingScale = 0.03;

float encodeShadowDepth(float lightDepth)
{
    return min(exp(-shadowDepthEncodingScale * lightDepth), 65000.0);
}

float decodeShadowDepth(float stored)
{
    return -log(max(stored, 1.0e-30)) / shadowDepthEncodingScale;
}
"
}
