shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
	}
	semantics
	{
		vertexNormal = VERTEX_NORMAL
		objectTransform = OBJECT_TRANSFORM_MATRIX
	}
	code = "
// A scene surface seen from the sun, for a light propagation volume's reflective shadow map. The
// modelview is the map's light view times the instance transform.
attribute vec3 vertexNormal;
uniform mat4 objectTransform;

varying vec3 worldNormal;

void main()
{
    mat3 m = mat3(objectTransform[0].xyz, objectTransform[1].xyz, objectTransform[2].xyz);
    // The cofactor matrix keeps normals right under non-uniform scale; the determinant's sign
    // keeps them outward on mirrored instances.
    mat3 cofactor = mat3(cross(m[1], m[2]), cross(m[2], m[0]), cross(m[0], m[1]));
    float handedness = dot(m[0], cross(m[1], m[2])) < 0.0 ? -1.0 : 1.0;
    worldNormal = handedness * (cofactor * vertexNormal);
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_Position = ftransform();
}
"
}
