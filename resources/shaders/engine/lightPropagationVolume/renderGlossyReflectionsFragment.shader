shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/lightPropagationVolume/sphericalHarmonics.shader"
		file = "resources/shaders/engine/lightPropagationVolume/volumeLayout.shader"
		file = "resources/shaders/engine/lightPropagationVolume/volumeSampling.shader"
	}
	semantics
	{
		gBufferColor = GBUFFER_COLOR_TEXTURE
		gBufferNormal = GBUFFER_NORMAL_TEXTURE
		gBufferPosition = GBUFFER_POSITION_TEXTURE
		cameraPosition = CAMERA_POSITION
	}
	code = "
// Glossy reflections of the volume's light: the light arriving along the reflected view
// direction, read one cell out along it, scaled by the surface's specular intensity. Fades out
// toward the volume's border like the diffuse light.
uniform sampler2D gBufferColor;
uniform sampler2D gBufferNormal;
uniform sampler2D gBufferPosition;
uniform vec3 cameraPosition;

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    float specular = clamp(texture2D(gBufferColor, uv).a, 0.0, 1.0);
    vec3 p = texture2D(gBufferPosition, uv).xyz;
    vec3 n = texture2D(gBufferNormal, uv).xyz;
    float weight = volumeFade(p) * specular;
    if (dot(n, n) < 1e-6 || weight <= 0.0)
        discard;
    n = normalize(n);
    vec3 towardSurface = p - cameraPosition;
    if (dot(towardSurface, towardSurface) < 1e-12)
        discard;
    vec3 r = reflect(normalize(towardSurface), n);
    ShCell light = sampleAccumulatedLight(surfaceSamplePoint(p, n) + r * volumeCellSize);
    gl_FragColor = vec4(shRadianceFrom(light, r) * weight, 0.0);
}
"
}
