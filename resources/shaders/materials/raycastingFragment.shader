shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/common/surfaceOptics.shader"
	}
	semantics
	{
		cameraPosition = CAMERA_POSITION
	}
	code = "
// Ray generation for the CPU ray tracer, into the three attachments of the ray-input target:
// the ray origin (nudged off the surface towards the viewer so that the reflection ray does not
// hit it again), the reflection direction and the refraction direction. A direction's w is 1
// where the pixel carries that ray, 0 where it does not: no refraction ray where the material lets
// no light through or at total internal reflection. The origin's w is how far along the
// refraction direction its ray starts: just past the surface (its own hits there are skipped).
uniform vec3 cameraPosition;
varying vec3 worldPosition;
varying vec3 worldNormal;

const float originOffset = 0.01;
// Far less than the few millimetres between the puddle and the paving beneath it.
const float pastSurface = 0.001;

void main()
{
    vec3 n = normalize(worldNormal) * (gl_FrontFacing ? 1.0 : -1.0);
    vec3 incident = normalize(worldPosition - cameraPosition);
    vec3 reflected = reflect(incident, n);
    vec3 refracted = transmitsLight() ? transmittedDirection(incident, n, gl_FrontFacing) : vec3(0.0);
    float hasRefraction = dot(refracted, refracted) > 0.0 ? 1.0 : 0.0;
    float start = hasRefraction * (originOffset + pastSurface) / max(-dot(refracted, n), 0.05);
    gl_FragData[0] = vec4(worldPosition + n * originOffset, start);
    gl_FragData[1] = vec4(reflected, 1.0);
    gl_FragData[2] = vec4(refracted, hasRefraction);
}
"
}
