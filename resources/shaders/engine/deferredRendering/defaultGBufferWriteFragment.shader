shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/common/gBufferWrite.shader"
	}
	code = "
void main()
{
    writeGBuffer(texture2D(colorTexture, gl_TexCoord[0].xy));
}
"
}
