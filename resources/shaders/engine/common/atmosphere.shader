shader
{
	semantics
	{
		rayleighConcentration = RAYLEIGH_PARTICLES_CONCENTRATION
		mieConcentration = MIE_PARTICLES_CONCENTRATION
		rayleighCoefficients = RAYLEIGH_COLOR_SCATTERING_COEFFICIENTS
		mieCoefficients = MIE_COLOR_SCATTERING_COEFFICIENTS
		miePhaseG = MIE_PHASE_PARAMETER_G
	}
	code = "
// Single-scattering atmosphere over a spherical ground, in metres. The engine's concentrations
// are dimensionless; the two factors below turn them into scattering per metre so that the red
// Rayleigh term matches the clear-sky sea-level value (5.8e-6 / m) and the Mie term a light haze.
uniform float rayleighConcentration;
uniform float mieConcentration;
uniform vec3 rayleighCoefficients;
uniform vec3 mieCoefficients;
uniform float miePhaseG;

const float PI = 3.14159265;
const float groundRadius = 6360000.0;
const float atmosphereRadius = 6420000.0;
const float rayleighScaleHeight = 8000.0;
const float mieScaleHeight = 1200.0;
const float viewerAltitude = 2.0;
const float rayleighPerMetre = 0.00644;
const float miePerMetre = 42.0;
const float mieAbsorption = 1.11;       // extinction over scattering of the haze
const float sunIrradiance = 20.0;       // at the top of the atmosphere, in the engine's HDR units
const float groundAlbedo = 0.12;

vec3 rayleighScattering() { return rayleighCoefficients * (rayleighConcentration * rayleighPerMetre); }
vec3 mieScattering() { return mieCoefficients * (mieConcentration * miePerMetre); }

float rayleighPhase(float cosAngle) { return 3.0 / (16.0 * PI) * (1.0 + cosAngle * cosAngle); }

float miePhase(float cosAngle)
{
    float g = miePhaseG;
    float g2 = g * g;
    // Cornette-Shanks: Henyey-Greenstein with a better backward lobe.
    float denominator = pow(max(1.0 + g2 - 2.0 * g * cosAngle, 1e-4), 1.5);
    return 3.0 / (8.0 * PI) * (1.0 - g2) * (1.0 + cosAngle * cosAngle) / ((2.0 + g2) * denominator);
}

// Distance from a point at radius r (ray leaving with cosine mu against the local up) to the
// sphere of the given radius, outward. Written with (R - r)(R + r) so that the difference of
// two large squares keeps its precision.
float distanceToSphere(float r, float mu, float sphereRadius)
{
    float discriminant = (sphereRadius - r) * (sphereRadius + r) + r * r * mu * mu;
    return -r * mu + sqrt(max(discriminant, 0.0));
}

// Distance to the ground along a downward ray, or -1 when the ray misses it.
float distanceToGround(float r, float mu)
{
    if (mu >= 0.0)
        return -1.0;
    float discriminant = r * r * mu * mu - (r - groundRadius) * (r + groundRadius);
    if (discriminant < 0.0)
        return -1.0;
    return -r * mu - sqrt(discriminant);
}

// Altitude of the point at distance t along the ray from radius r0 = groundRadius + h0.
float altitudeAlong(float h0, float t, float mu)
{
    float r0 = groundRadius + h0;
    float squareDifference = h0 * (2.0 * groundRadius + h0) + t * t + 2.0 * r0 * t * mu;
    float r = sqrt(max(r0 * r0 + t * t + 2.0 * r0 * t * mu, 0.0));
    return squareDifference / (r + groundRadius);
}

// Rayleigh (x) and Mie (y) optical depth, in metres of sea-level air, from altitude h toward
// the sun (cosine muSun against the local up); a very large value when the ground blocks it.
vec2 opticalDepthToSun(float h, float muSun)
{
    float r = groundRadius + h;
    if (distanceToGround(r, muSun) > 0.0)
        return vec2(1e9);
    float tMax = distanceToSphere(r, muSun, atmosphereRadius);
    vec2 depth = vec2(0.0);
    const int steps = 8;
    // Samples crowd near the start, where the air is densest.
    for (int i = 0; i < steps; ++i) {
        float a = float(i) / float(steps);
        float b = float(i + 1) / float(steps);
        float t = tMax * (0.5 * (a * a + b * b));
        float dt = tMax * (b * b - a * a);
        float sampleAltitude = max(altitudeAlong(h, t, muSun), 0.0);
        depth += dt * vec2(exp(-sampleAltitude / rayleighScaleHeight), exp(-sampleAltitude / mieScaleHeight));
    }
    return depth;
}

vec3 transmittanceOf(vec2 opticalDepth)
{
    return exp(-(rayleighScattering() * opticalDepth.x + mieScattering() * (mieAbsorption * opticalDepth.y)));
}

// The sunlight that reaches the viewer's altitude: irradiance on a plane facing the sun.
vec3 sunColorAtViewer(vec3 towardSun)
{
    return sunIrradiance * transmittanceOf(opticalDepthToSun(viewerAltitude, towardSun.y));
}

// Light scattered toward the viewer along a view ray (single scattering), plus the lit ground
// where the ray reaches it. Directions are world-space unit vectors with +y up.
vec3 skyRadiance(vec3 viewDirection, vec3 towardSun)
{
    float r0 = groundRadius + viewerAltitude;
    float mu = viewDirection.y;
    float groundDistance = distanceToGround(r0, mu);
    bool hitsGround = groundDistance > 0.0;
    float tMax = hitsGround ? groundDistance : distanceToSphere(r0, mu, atmosphereRadius);

    float cosAngle = dot(viewDirection, towardSun);
    vec3 betaR = rayleighScattering();
    vec3 betaM = mieScattering();
    float phaseR = rayleighPhase(cosAngle);
    float phaseM = miePhase(cosAngle);

    vec2 viewDepth = vec2(0.0);
    vec3 inscatterR = vec3(0.0);
    vec3 inscatterM = vec3(0.0);
    const int steps = 16;
    for (int i = 0; i < steps; ++i) {
        float a = float(i) / float(steps);
        float b = float(i + 1) / float(steps);
        float t = tMax * (0.5 * (a * a + b * b));
        float dt = tMax * (b * b - a * a);
        float h = max(altitudeAlong(viewerAltitude, t, mu), 0.0);
        vec2 density = vec2(exp(-h / rayleighScaleHeight), exp(-h / mieScaleHeight));
        vec2 depthHere = viewDepth + density * (0.5 * dt);
        // The sun's zenith cosine at the sample: the local up turns with the ground's curvature.
        vec3 samplePoint = vec3(0.0, r0, 0.0) + viewDirection * t;
        float muSun = dot(normalize(samplePoint), towardSun);
        vec3 attenuation = transmittanceOf(depthHere + opticalDepthToSun(h, muSun));
        inscatterR += attenuation * density.x * dt;
        inscatterM += attenuation * density.y * dt;
        viewDepth += density * dt;
    }
    vec3 radiance = sunIrradiance * (inscatterR * betaR * phaseR + inscatterM * betaM * phaseM);
    if (hitsGround) {
        vec3 groundPoint = vec3(0.0, r0, 0.0) + viewDirection * groundDistance;
        vec3 groundUp = normalize(groundPoint);
        float muSun = dot(groundUp, towardSun);
        vec3 sunAtGround = sunIrradiance * transmittanceOf(opticalDepthToSun(0.0, muSun));
        radiance += transmittanceOf(viewDepth) * sunAtGround * max(muSun, 0.0) * groundAlbedo / PI;
    }
    return radiance;
}
"
}
