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
attribute vec3 vertexNormal;
uniform mat4 objectTransform;
varying vec3 worldPosition;
varying vec3 worldNormal;

void main()
{
    mat3 m = mat3(objectTransform[0].xyz, objectTransform[1].xyz, objectTransform[2].xyz);
    worldNormal = mat3(cross(m[1], m[2]), cross(m[2], m[0]), cross(m[0], m[1])) * vertexNormal;
    worldPosition = (objectTransform * gl_Vertex).xyz;
    gl_Position = ftransform();
}
"
}
