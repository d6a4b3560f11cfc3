shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
	}
	code = "
// Depth only. ftransform() keeps the depth identical to every other pass that draws the same
// geometry, which the stencil mark and the sky's depth test rely on.
void main()
{
    gl_TexCoord[0] = gl_MultiTexCoord0;
    gl_Position = ftransform();
}
"
}
