shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/common/skyMapping.shader"
	}
	semantics
	{
		gBufferDepth = GBUFFER_DEPTH_TEXTURE
		skyMap = SKY_MAP_TEXTURE
		fogDensity = AERIAL_PERSPECTIVE_FOG_DENSITY
	}
	code = "
// Aerial perspective over the lit scene, drawn with blending (one, one minus source alpha): the
// air between the viewer and a surface adds the sky's colour in the view direction and hides
// the surface by exp(-density * distance). Unit 1 carries the view ray at unit depth.
uniform sampler2D gBufferDepth;
uniform sampler2D skyMap;
uniform float fogDensity;

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    float depth = texture2D(gBufferDepth, uv).r;
    vec3 ray = gl_TexCoord[1].xyz;
    float dist = depth * length(ray);
    float opacity = 1.0 - exp(-fogDensity * dist);
    vec3 skyColor = texture2D(skyMap, skyMapCoordinates(ray)).rgb;
    gl_FragColor = vec4(skyColor * opacity, opacity);
}
"
}
