shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/lightPropagationVolume/volumeLayout.shader"
		file = "resources/shaders/engine/lightPropagationVolume/geometryVolume.shader"
		file = "resources/shaders/engine/lightPropagationVolume/geometryVolumeInjection.shader"
	}
	semantics
	{
		gBufferGeometryNormal = GBUFFER_GEOMETRY_NORMAL_TEXTURE
		gBufferPosition = GBUFFER_POSITION_TEXTURE
		cameraPosition = CAMERA_POSITION
		frustumTopLeft = FRUSTUM_TOP_LEFT_VECTOR
		frustumTopRight = FRUSTUM_TOP_RIGHT_VECTOR
		frustumBottomLeft = FRUSTUM_BOTTOM_LEFT_VECTOR
		frustumBottomRight = FRUSTUM_BOTTOM_RIGHT_VECTOR
	}
	code = "
// One surface element per point of a regular grid over the camera's G-buffer for the geometry
// volume. The point's texture coordinate picks the G-buffer texel; its vertex x and y are the
// share of the screen's width and height the point stands for. The element covers that share of
// the image plane at unit depth, carried out to the surface: A0 depth^2 / (|r| |cos|), with r
// the view ray at unit depth and the cosine between the ray and the normal held back at grazing
// angles.
uniform sampler2D gBufferGeometryNormal;
uniform sampler2D gBufferPosition;
uniform vec3 cameraPosition;
uniform vec3 frustumTopLeft;
uniform vec3 frustumTopRight;
uniform vec3 frustumBottomLeft;
uniform vec3 frustumBottomRight;

void main()
{
    vec2 uv = gl_MultiTexCoord0.xy;
    vec3 n = texture2DLod(gBufferGeometryNormal, uv, 0.0).xyz;
    // Pixels without a surface (the sky) hold no normal.
    if (dot(n, n) < 0.25) {
        dropBlocker();
        return;
    }
    n = normalize(n);
    vec3 p = texture2DLod(gBufferPosition, uv, 0.0).xyz;
    vec3 toSurface = p - cameraPosition;
    float distance = length(toSurface);
    if (distance <= 0.0) {
        dropBlocker();
        return;
    }
    vec3 direction = toSurface / distance;
    vec3 forward = normalize(frustumTopLeft + frustumTopRight + frustumBottomLeft + frustumBottomRight);
    float cosineToAxis = max(dot(direction, forward), 1e-3);
    float depth = distance * cosineToAxis;
    float imagePlaneArea = length(frustumTopRight - frustumTopLeft) * length(frustumTopLeft - frustumBottomLeft)
                         * gl_Vertex.x * gl_Vertex.y;
    float area = imagePlaneArea * depth * depth * cosineToAxis / max(abs(dot(n, direction)), GV_MINIMUM_COSINE);
    injectBlocker(p, n, area / (volumeCellSize * volumeCellSize));
}
"
}
