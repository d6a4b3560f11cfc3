shader
{
	semantics
	{
		frustumTopLeft = FRUSTUM_TOP_LEFT_VECTOR
		frustumTopRight = FRUSTUM_TOP_RIGHT_VECTOR
		frustumBottomLeft = FRUSTUM_BOTTOM_LEFT_VECTOR
		frustumBottomRight = FRUSTUM_BOTTOM_RIGHT_VECTOR
	}
	code = "
// View rays of full-screen passes. The four corner rays have unit depth along the viewing
// direction, so the surface seen at screen coordinates uv with eye depth z lies at
// z * viewRay(uv) from the camera (world axes, camera at the origin).
uniform vec3 frustumTopLeft;
uniform vec3 frustumTopRight;
uniform vec3 frustumBottomLeft;
uniform vec3 frustumBottomRight;

vec3 viewRay(vec2 uv)
{
    return mix(mix(frustumBottomLeft, frustumBottomRight, uv.x), mix(frustumTopLeft, frustumTopRight, uv.x), uv.y);
}

// World size of the whole screen at unit eye depth: width and height.
vec2 unitDepthScreenSize()
{
    return vec2(length(frustumTopRight - frustumTopLeft), length(frustumTopLeft - frustumBottomLeft));
}

// The pixel size of the target a full-screen quad is drawn into, from the fragment's position
// and its unit-0 coordinates (which run 0..1 over the target).
vec2 fullScreenTargetSize()
{
    return floor(gl_FragCoord.xy / gl_TexCoord[0].xy + 0.5);
}

// The centre of the target pixel that holds uv.
vec2 pixelCentre(vec2 uv, vec2 targetSize)
{
    return (floor(uv * targetSize) + 0.5) / targetSize;
}

bool insideScreen(vec2 uv)
{
    return uv.x >= 0.0 && uv.y >= 0.0 && uv.x <= 1.0 && uv.y <= 1.0;
}
"
}
