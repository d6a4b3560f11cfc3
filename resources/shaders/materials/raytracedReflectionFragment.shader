shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
	}
	semantics
	{
		reflections = RAYTRACING_REFLECTIONS_TEXTURE
		cameraPosition = CAMERA_POSITION
		reflectance = MATERIAL_REFLECTANCE
		reflectionTint = MATERIAL_REFLECTION_TINT
	}
	code = "
// Composites the lit ray-traced reflections over the surface already in the HDR target, with
// blending (one, one minus source alpha): the reflection is weighted by Schlick's approximation of
// the Fresnel term from the material's reflectance at normal incidence (water 0.02, a double pane
// of glass 0.15, steel 0.56), coloured by its reflection tint, and the same weight is taken away
// from what lies below. The reflection image has the screen's proportions at the tracing
// resolution, so the fragment's screen position addresses it.
uniform sampler2D reflections;
uniform vec3 cameraPosition;
uniform float reflectance;
uniform vec3 reflectionTint;
varying vec3 worldPosition;
varying vec3 worldNormal;
varying vec4 clipPosition;

void main()
{
    vec2 screen = clipPosition.xy / clipPosition.w * 0.5 + 0.5;
    vec3 n = normalize(worldNormal) * (gl_FrontFacing ? 1.0 : -1.0);
    vec3 toViewer = normalize(cameraPosition - worldPosition);
    float cosine = clamp(dot(n, toViewer), 0.0, 1.0);
    float fresnel = reflectance + (1.0 - reflectance) * pow(1.0 - cosine, 5.0);
    vec3 reflected = texture2D(reflections, screen).rgb;
    gl_FragColor = vec4(reflected * reflectionTint * fresnel, fresnel);
}
"
}
