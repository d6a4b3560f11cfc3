shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/common/gBufferWrite.shader"
	}
	semantics
	{
		alphaThreshold = MATERIAL_ALPHA_TEST_TRESHOLD
	}
	code = "
uniform float alphaThreshold;

void main()
{
    vec4 albedo = texture2D(colorTexture, gl_TexCoord[0].xy);
    if (albedo.a < alphaThreshold)
        discard;
    writeGBuffer(albedo);
}
"
}
