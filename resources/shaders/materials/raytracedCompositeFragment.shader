shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/common/surfaceOptics.shader"
	}
	semantics
	{
		reflections = RAYTRACING_REFLECTIONS_TEXTURE
		refractions = RAYTRACING_REFRACTIONS_TEXTURE
		refractionsOn = RAYTRACING_REFRACTIONS_ON
		cameraPosition = CAMERA_POSITION
		reflectionTint = MATERIAL_REFLECTION_TINT
	}
	code = "
// Composites the lit ray-traced images over the surface already in the HDR target, with blending
// (one, one minus source alpha). The reflection is weighted by the Fresnel reflectance from the
// material's reflectance at normal incidence (water 0.02, a double pane of glass 0.15, steel 0.56)
// and coloured by its reflection tint. On an opaque surface (or while refractions are off) the
// same weight is taken away from what lies below; glass and water are replaced by the reflection
// plus the refraction, tinted by the transmission colour, with the rest of the weight (all of it
// reflected at total internal reflection). The images have the screen's proportions at the tracing
// resolution, so the fragment's screen position addresses them.
uniform sampler2D reflections;
uniform sampler2D refractions;
uniform float refractionsOn;
uniform vec3 cameraPosition;
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
    float fresnel = fresnelReflectance(cosine);
    vec3 reflected = texture2D(reflections, screen).rgb * reflectionTint;
    if (refractionsOn > 0.5 && transmitsLight()) {
        vec3 through = transmittedDirection(-toViewer, n, gl_FrontFacing);
        if (dot(through, through) == 0.0)
            fresnel = 1.0;
        vec3 refracted = texture2D(refractions, screen).rgb * transmissionColor;
        gl_FragColor = vec4(reflected * fresnel + refracted * (1.0 - fresnel), 1.0);
        return;
    }
    gl_FragColor = vec4(reflected * fresnel, fresnel);
}
"
}
