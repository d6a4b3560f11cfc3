shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/lightPropagationVolume/sphericalHarmonics.shader"
	}
	code = "
// A virtual point light as a clamped cosine lobe around its surface's normal, added (blending
// one, one) into the four coefficient targets of its cell.
varying vec3 lightFlux;
varying vec3 lightNormal;

void main()
{
    ShCell cell = shCosineLobe(normalize(lightNormal), lightFlux);
    gl_FragData[0] = vec4(cell.c0, 0.0);
    gl_FragData[1] = vec4(cell.cx, 0.0);
    gl_FragData[2] = vec4(cell.cy, 0.0);
    gl_FragData[3] = vec4(cell.cz, 0.0);
}
"
}
