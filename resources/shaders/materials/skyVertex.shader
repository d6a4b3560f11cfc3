shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/common/atmosphere.shader"
	}
	semantics
	{
		sunLightDirection = SUN_LIGHT_DIRECTION
	}
	code = "
// The sky dome, drawn with the view rotation alone so that it stays centred on the viewer. Its
// vertices are directions; the dome is pushed onto the far plane so that it never hides the
// scene, whatever its size.
uniform vec3 sunLightDirection;
varying vec3 skyDirection;
varying vec3 sunColor;

void main()
{
    skyDirection = gl_Vertex.xyz;
    // The sun's colour is the same over the whole dome: once per vertex is plenty.
    sunColor = sunColorAtViewer(-normalize(sunLightDirection));
    vec4 position = ftransform();
    gl_Position = position.xyww;
}
"
}
