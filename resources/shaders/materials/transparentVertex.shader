shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/common/atmosphere.shader"
	}
	semantics
	{
		vertexNormal = VERTEX_NORMAL
		objectTransform = OBJECT_TRANSFORM_MATRIX
		sunLightDirection = SUN_LIGHT_DIRECTION
	}
	code = "
// Transparent surfaces are lit in the forward pass: the sun's colour is worked out here once
// per vertex, the shading itself per fragment.
attribute vec3 vertexNormal;
uniform mat4 objectTransform;
uniform vec3 sunLightDirection;
varying vec3 worldNormal;
varying vec3 sunColor;

void main()
{
    mat3 m = mat3(objectTransform[0].xyz, objectTransform[1].xyz, objectTransform[2].xyz);
    worldNormal = mat3(cross(m[1], m[2]), cross(m[2], m[0]), cross(m[0], m[1])) * vertexNormal;
    sunColor = sunColorAtViewer(-normalize(sunLightDirection));
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_Position = ftransform();
}
"
}
