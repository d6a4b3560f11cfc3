shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/lightPropagationVolume/lightInjection.shader"
		file = "resources/shaders/engine/lightPropagationVolume/geometryVolume.shader"
		file = "resources/shaders/engine/lightPropagationVolume/geometryVolumeInjection.shader"
	}
	code = "
// One surface element per reflective-shadow-map texel for the geometry volume: the surface the
// sun sees there, covering the texel's area across the light (lightsWeight cell faces) over the
// cosine of the sun's angle.
void main()
{
    MapSurface surface;
    if (!readMapSurface(gl_MultiTexCoord0.xy, surface)) {
        dropBlocker();
        return;
    }
    float cosine = abs(dot(surface.normal, normalize(sunDirection)));
    injectBlocker(surface.position, surface.normal, lightsWeight / max(cosine, GV_MINIMUM_COSINE));
}
"
}
