shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
	}
	semantics
	{
		effect = RAYTRACING_CURRENT_EFFECT_TEXTURE
		texelOffsets = RAYTRACING_BORDER_CORRECTION_TEXEL_OFFSETS
	}
	code = "
// The reflection image is traced at reduced resolution and only where a ray starts, so texels
// along the border of a reflective surface stay empty and show as a dark seam once magnified.
// An empty texel takes the mean of its lit 3 x 3 neighbours; lit texels pass unchanged.
uniform sampler2D effect;
uniform vec2 texelOffsets[9];

void main()
{
    vec2 uv = gl_TexCoord[0].xy;
    vec3 centre = texture2D(effect, uv).rgb;
    if (dot(centre, vec3(1.0)) > 0.0) {
        gl_FragColor = vec4(centre, 1.0);
        return;
    }
    vec3 sum = vec3(0.0);
    float count = 0.0;
    for (int i = 0; i < 9; ++i) {
        vec3 neighbour = texture2D(effect, uv + texelOffsets[i]).rgb;
        float lit = dot(neighbour, vec3(1.0)) > 0.0 ? 1.0 : 0.0;
        sum += neighbour * lit;
        count += lit;
    }
    gl_FragColor = vec4(count > 0.0 ? sum / count : vec3(0.0), 1.0);
}
"
}
