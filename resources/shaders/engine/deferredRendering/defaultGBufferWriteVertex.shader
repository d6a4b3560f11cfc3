shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
	}
	semantics
	{
		vertexNormal = VERTEX_NORMAL
		vertexTangent = VERTEX_TANGENT
		vertexBinormal = VERTEX_BINORMAL
		objectTransform = OBJECT_TRANSFORM_MATRIX
	}
	code = "
attribute vec3 vertexNormal;
attribute vec3 vertexTangent;
attribute vec3 vertexBinormal;
uniform mat4 objectTransform;

varying vec3 worldPosition;
varying vec3 worldNormal;
varying vec3 worldTangent;
varying vec3 worldBinormal;
varying float eyeDepth;

void main()
{
    mat3 m = mat3(objectTransform[0].xyz, objectTransform[1].xyz, objectTransform[2].xyz);
    // Normals go through the cofactor matrix, which stays right under non-uniform scale; the
    // determinant's sign keeps them outward on mirrored instances.
    mat3 cofactor = mat3(cross(m[1], m[2]), cross(m[2], m[0]), cross(m[0], m[1]));
    float handedness = dot(m[0], cross(m[1], m[2])) < 0.0 ? -1.0 : 1.0;

    worldPosition = (objectTransform * gl_Vertex).xyz;
    worldNormal = handedness * (cofactor * vertexNormal);
    worldTangent = m * vertexTangent;
    worldBinormal = m * vertexBinormal;
    eyeDepth = -(gl_ModelViewMatrix * gl_Vertex).z;
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_Position = ftransform();
}
"
}
