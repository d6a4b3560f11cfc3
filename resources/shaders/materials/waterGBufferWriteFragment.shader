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
// A water surface written into the G-buffer like any opaque surface: ripples from a few
// crossing wave trains tilt the shading normal; the colour darkens toward a deep tint where the
// surface is seen from above (less sky reflected), and the surface is very glossy.
uniform vec3 cameraPosition;
varying vec3 worldPosition;
varying vec3 worldNormal;
varying float eyeDepth;

// Slope (d height / dx, d height / dz) of one wave train.
vec2 waveSlope(vec2 p, vec2 direction, float wavelength, float amplitude, float phase)
{
    float k = 6.2831853 / wavelength;
    float c = cos(dot(p, direction) * k + phase);
    return direction * (amplitude * k * c);
}

void main()
{
    vec2 p = worldPosition.xz;
    vec2 slope = waveSlope(p, normalize(vec2(1.0, 0.3)), 0.9, 0.012, 0.0)
               + waveSlope(p, normalize(vec2(-0.4, 1.0)), 0.53, 0.007, 1.7)
               + waveSlope(p, normalize(vec2(0.7, -0.8)), 0.31, 0.004, 4.1)
               + waveSlope(p, normalize(vec2(-1.0, -0.2)), 0.17, 0.002, 2.3);
    vec3 up = normalize(worldNormal) * (gl_FrontFacing ? 1.0 : -1.0);
    // Tangent frame of the surface from world x, corrected to lie in the surface.
    vec3 tangent = normalize(vec3(1.0, 0.0, 0.0) - up * up.x + vec3(0.0, 0.0, 1e-4));
    vec3 binormal = cross(tangent, up);
    vec3 shadingNormal = normalize(up - slope.x * tangent - slope.y * binormal);

    vec3 toViewer = normalize(cameraPosition - worldPosition);
    float grazing = 1.0 - max(dot(toViewer, shadingNormal), 0.0);
    vec3 deep = vec3(0.015, 0.045, 0.06);
    vec3 shallow = vec3(0.06, 0.14, 0.16);
    vec3 albedo = mix(deep, shallow, grazing * grazing);

    gl_FragData[0] = vec4(albedo, 1.0);
    gl_FragData[1] = vec4(shadingNormal, 400.0);
    gl_FragData[2] = vec4(up, 0.0);
    gl_FragData[3] = vec4(eyeDepth);
    gl_FragData[4] = vec4(worldPosition, 1.0);
}
"
}
