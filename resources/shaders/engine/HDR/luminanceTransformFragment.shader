shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/common/luminance.shader"
	}
	semantics
	{
		sceneColor = HDR_MAIN_FRAME_BUFFER_COLOR_TEXTURE
	}
	code = "
// Log luminance of the scene, so that the mipmap average is the log of the geometric mean: a
// few very bright pixels (the sun) do not swamp the measurement.
uniform sampler2D sceneColor;

void main()
{
    vec3 color = texture2D(sceneColor, gl_TexCoord[0].xy).rgb;
    float luminance = luminanceOf(max(color, vec3(0.0)));
    gl_FragColor = vec4(clamp(log(luminance + 1e-4), -9.0, 9.0));
}
"
}
