shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/lightPropagationVolume/lightInjection.shader"
	}
	code = "
// One virtual point light per reflective-shadow-map texel, carrying the sunlight that texel's
// surface reflects.
void main()
{
    MapSurface surface;
    if (!readMapSurface(gl_MultiTexCoord0.xy, surface)) {
        dropLight();
        return;
    }
    injectLight(surface, surface.exitance);
}
"
}
