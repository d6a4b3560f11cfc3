shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
	}
	code = "
// One surface element's blocking potential, added (blending one, one) into its geometry cell.
varying vec3 blockingCoefficients;

void main()
{
    gl_FragData[0] = vec4(blockingCoefficients, 0.0);
}
"
}
