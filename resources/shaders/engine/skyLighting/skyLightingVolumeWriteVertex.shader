shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
	}
	code = "
// One slice of the sky lighting volume: the quad's vertices are world positions at the slice's
// height, so every fragment receives the world position of its cell's centre.
varying vec3 cellPosition;

void main()
{
    cellPosition = gl_Vertex.xyz;
    gl_Position = ftransform();
}
"
}
