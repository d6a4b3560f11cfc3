shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
	}
	semantics
	{
		cameraPosition = CAMERA_POSITION
	}
	code = "
// Ray generation for the CPU ray tracer, into the three attachments of the ray-input target:
// the ray origin (nudged off the surface so that the ray does not hit it again), the reflection
// direction and the refraction direction (water to air ratio 1 / 1.33). A direction's w is 1
// where the pixel carries that ray, 0 where it does not (total internal reflection).
uniform vec3 cameraPosition;
varying vec3 worldPosition;
varying vec3 worldNormal;

void main()
{
    vec3 n = normalize(worldNormal) * (gl_FrontFacing ? 1.0 : -1.0);
    vec3 incident = normalize(worldPosition - cameraPosition);
    vec3 reflected = reflect(incident, n);
    vec3 refracted = refract(incident, n, 1.0 / 1.33);
    float hasRefraction = dot(refracted, refracted) > 0.0 ? 1.0 : 0.0;
    gl_FragData[0] = vec4(worldPosition + n * 0.01, 1.0);
    gl_FragData[1] = vec4(reflected, 1.0);
    gl_FragData[2] = vec4(refracted, hasRefraction);
}
"
}
