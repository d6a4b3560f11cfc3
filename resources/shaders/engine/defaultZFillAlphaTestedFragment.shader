shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
	}
	semantics
	{
		colorTexture = MATERIAL_COLOR_TEXTURE
		alphaThreshold = MATERIAL_ALPHA_TEST_TRESHOLD
	}
	code = "
uniform sampler2D colorTexture;
uniform float alphaThreshold;

void main()
{
    if (texture2D(colorTexture, gl_TexCoord[0].xy).a < alphaThreshold)
        discard;
    gl_FragColor = vec4(0.0);
}
"
}
