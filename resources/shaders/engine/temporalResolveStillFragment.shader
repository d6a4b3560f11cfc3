shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/common/filmicCurve.shader"
		file = "resources/shaders/engine/common/temporalResolve.shader"
	}
	code = "
// Temporal resolve of a still camera: the history is read at the pixel itself (a texel centre,
// so the linear filter returns it exactly) and blended with the frame's colour. A program of its
// own, since a branch on a uniform would still run the moving camera's taps on a software
// rasteriser that shades both sides of it.
void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    float exposure = frameExposure();
    vec3 current = toDisplay(texture2D(sceneColor, uv).rgb, exposure);
    vec3 previous = toDisplay(texture2D(history, uv).rgb, exposure);
    gl_FragColor = vec4(fromDisplay(mix(previous, current, blend.x), exposure), 1.0);
}
"
}
