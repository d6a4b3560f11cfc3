shader
{
	includes
	{
		file = "resources/shaders/engine/common/glslVersion.shader"
		file = "resources/shaders/engine/common/skyMapping.shader"
	}
	semantics
	{
		skyMap = SKY_MAP_TEXTURE
		sunLightDirection = SUN_LIGHT_DIRECTION
	}
	code = "
// Sky radiance from the sky map plus the sun's disc, with limb darkening. The disc is drawn a
// little larger than the real sun (0.53 degrees) so that it survives small renders, and its
// radiance is capped far below the half-float limit of the HDR target.
uniform sampler2D skyMap;
uniform vec3 sunLightDirection;
varying vec3 skyDirection;
varying vec3 sunColor;

void main()
{
    vec3 direction = normalize(skyDirection);
    vec3 color = texture2D(skyMap, skyMapCoordinates(direction)).rgb;
    const float discRadius = 0.012;
    float angle = acos(clamp(dot(direction, -normalize(sunLightDirection)), -1.0, 1.0));
    if (angle < discRadius) {
        float x = angle / discRadius;
        float limb = 1.0 - 0.6 * (1.0 - sqrt(max(1.0 - x * x, 0.0)));
        float edge = 1.0 - smoothstep(0.85, 1.0, x);
        color += sunColor * (800.0 * limb * edge);
    }
    gl_FragColor = vec4(color, 1.0);
}
"
}
