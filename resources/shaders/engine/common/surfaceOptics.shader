shader
{
	semantics
	{
		reflectance = MATERIAL_REFLECTANCE
		indexOfRefraction = MATERIAL_INDEX_OF_REFRACTION
		isThin = MATERIAL_IS_THIN
		transmissionColor = MATERIAL_TRANSMISSION_COLOR
	}
	code = "
// The optics of the drawn surface's material, as the CPU tracers compute them: the Fresnel
// reflectance at an angle (Schlick's approximation from the reflectance at normal incidence) and
// where the light that the surface lets through goes on (straight through a thin pane, refracted
// into or out of a solid medium such as water).
uniform float reflectance;
uniform float indexOfRefraction;
uniform float isThin;
uniform vec3 transmissionColor;

float fresnelReflectance(float cosine)
{
    return reflectance + (1.0 - reflectance) * pow(1.0 - cosine, 5.0);
}

bool transmitsLight()
{
    return max(transmissionColor.r, max(transmissionColor.g, transmissionColor.b)) > 0.0;
}

// incident: unit direction from the viewer; n: unit normal facing the viewer; entering: the
// viewer is outside the medium. A zero vector at total internal reflection.
vec3 transmittedDirection(vec3 incident, vec3 n, bool entering)
{
    if (isThin > 0.5)
        return incident;
    return refract(incident, n, entering ? 1.0 / indexOfRefraction : indexOfRefraction);
}
"
}
