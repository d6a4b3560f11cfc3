shader
{
	code = "
// Light reflected by one G-buffer surface toward the viewer: Lambert diffuse plus normalised
// Blinn-Phong specular. albedoAndSpecular is G-buffer colour (rgb albedo, a specular intensity),
// normalAndPower the shading normal with the specular exponent in w; irradiance is the light's
// irradiance on a plane facing it.
const float SURFACE_PI = 3.14159265;

vec3 reflectedLight(vec4 albedoAndSpecular, vec4 normalAndPower, vec3 towardLight, vec3 towardViewer,
                    vec3 irradiance)
{
    vec3 n = normalize(normalAndPower.xyz);
    float nDotL = dot(n, towardLight);
    if (nDotL <= 0.0)
        return vec3(0.0);
    // Ray-traced surfaces leave w unwritten; a sane exponent keeps pow() defined for them.
    float power = clamp(normalAndPower.w, 1.0, 2048.0);
    vec3 halfVector = normalize(towardLight + towardViewer);
    float nDotH = max(dot(n, halfVector), 0.0);
    float specular = clamp(albedoAndSpecular.a, 0.0, 1.0) * (power + 8.0) / (8.0 * SURFACE_PI) * pow(nDotH, power);
    vec3 diffuse = albedoAndSpecular.rgb / SURFACE_PI;
    return (diffuse + vec3(specular)) * irradiance * nDotL;
}
"
}
