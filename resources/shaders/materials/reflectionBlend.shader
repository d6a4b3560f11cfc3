shader
{
	semantics
	{
		reflections = RAYTRACING_REFLECTIONS_TEXTURE
		cameraPosition = CAMERA_POSITION
	}
	code = "
// Composites the lit ray-traced reflections over the surface already in the HDR target, with
// blending (one, one minus source alpha): the reflection is weighted by Schlick's approximation of
// the Fresnel term from the material's reflectance at normal incidence, and the same weight is
// taken away from what lies below. The reflection image has the screen's proportions at the
// tracing resolution, so the fragment's screen position addresses it.
uniform sampler2D reflections;
uniform vec3 cameraPosition;
varying vec3 worldPosition;
varying vec3 worldNormal;
varying vec4 clipPosition;

vec4 blendedReflection(float normalReflectance, vec3 tint)
{
    vec2 screen = clipPosition.xy / clipPosition.w * 0.5 + 0.5;
    vec3 n = normalize(worldNormal) * (gl_FrontFacing ? 1.0 : -1.0);
    vec3 toViewer = normalize(cameraPosition - worldPosition);
    float cosine = clamp(dot(n, toViewer), 0.0, 1.0);
    float fresnel = normalReflectance + (1.0 - normalReflectance) * pow(1.0 - cosine, 5.0);
    vec3 reflected = texture2D(reflections, screen).rgb;
    return vec4(reflected * tint * fresnel, fresnel);
}
"
}
