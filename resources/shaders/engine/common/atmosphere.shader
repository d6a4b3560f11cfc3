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


// Light scattered toward the viewer along a view ray (single scattering), plus the lit ground
// where the ray reaches it, at the three sample wavelengths. Directions are world-space unit
// vectors with +y up.
vec3 skyRadianceSamples(vec3 viewDirection, vec3 towardSun)
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

// The model's three colour channels are radiances at three wavelengths, not the display's
// primaries: read as red, green and blue directly, the strongly scattered 510 nm sample makes
// the sky teal and the spectrum's rise below 475 nm, which is what makes a clear sky blue, is
// lost. So the spectrum is rebuilt from the samples as a power law of the wavelength between
// neighbouring samples (exact for Rayleigh's inverse fourth power), extended past the outer
// samples, weighed with the CIE 1931 colour matching functions and turned into linear sRGB,
// balanced so that a flat spectrum (the sun above the air) stays white. The red sample is at
// 650 nm; green and blue follow from the Rayleigh coefficients, which are relative to red as
// the inverse fourth power of the wavelength.
const float redSampleWavelength = 650.0;

// One lobe of the piecewise Gaussian fit of the CIE 1931 2-degree observer (Wyman, Sloan and
// Shirley, 2013): separate widths below and above the peak.
float colorMatchingLobe(float wavelength, float peak, float widthBelow, float widthAbove)
{
    float t = (wavelength - peak) / (wavelength < peak ? widthBelow : widthAbove);
    return exp(-0.5 * t * t);
}

vec3 cieXyzOfWavelength(float wavelength)
{
    float l = wavelength;
    return vec3(1.056 * colorMatchingLobe(l, 599.8, 37.9, 31.0) + 0.362 * colorMatchingLobe(l, 442.0, 16.0, 26.7)
                    - 0.065 * colorMatchingLobe(l, 501.1, 20.4, 26.2),
                0.821 * colorMatchingLobe(l, 568.8, 46.9, 40.5) + 0.286 * colorMatchingLobe(l, 530.9, 16.3, 31.1),
                1.217 * colorMatchingLobe(l, 437.0, 11.8, 36.0) + 0.681 * colorMatchingLobe(l, 459.0, 26.0, 13.8));
}

vec3 linearSrgbOfXyz(vec3 xyz)
{
    return vec3(3.2406 * xyz.x - 1.5372 * xyz.y - 0.4986 * xyz.z,
                -0.9689 * xyz.x + 1.8758 * xyz.y + 0.0415 * xyz.z,
                0.0557 * xyz.x - 0.2040 * xyz.y + 1.0570 * xyz.z);
}

vec3 displayColorOfSamples(vec3 samples)
{
    vec3 wavelengths = redSampleWavelength / pow(max(rayleighCoefficients, vec3(1e-3)), vec3(0.25));
    // Samples of zero (the sun below the horizon) have no logarithm; a tiny floor relative to the
    // largest keeps the power law finite and changes nothing visible.
    float largest = max(samples.r, max(samples.g, samples.b));
    if (largest <= 0.0)
        return vec3(0.0);
    vec3 s = max(samples, vec3(largest * 1e-6));
    vec3 logSample = log(s);
    vec3 logWavelength = log(wavelengths);
    // Exponents of the two power laws: red to green and green to blue. Every wavelength above the
    // green sample uses the first, every one below it the second.
    float redToGreen = (logSample.g - logSample.r) / (logWavelength.g - logWavelength.r);
    float greenToBlue = (logSample.b - logSample.g) / (logWavelength.b - logWavelength.g);
    vec3 color = vec3(0.0);
    vec3 white = vec3(0.0);
    // 390 to 710 nm in steps of 20 nm covers all but a sliver of the eye's response.
    for (int i = 0; i < 17; ++i) {
        float wavelength = 390.0 + 20.0 * float(i);
        float exponent = wavelength > wavelengths.g ? redToGreen : greenToBlue;
        float radiance = exp(logSample.g + exponent * (log(wavelength) - logWavelength.g));
        vec3 response = linearSrgbOfXyz(cieXyzOfWavelength(wavelength));
        color += radiance * response;
        white += response;
    }
    return max(color / white, vec3(0.0));
}

// The picture is balanced for daylight, as film and cameras are: light of the colour of a high
// midday sun (60 degrees up) seen through the air is white. Lower suns are warmer than that and
// the shade under the open sky bluer, as in a photograph.
const float daylightSunElevation = 1.0471976;

vec3 daylightBalanced(vec3 samples)
{
    vec3 daylight = transmittanceOf(opticalDepthToSun(viewerAltitude, sin(daylightSunElevation)));
    return samples / daylight;
}

// The sunlight that reaches the viewer's altitude: irradiance on a plane facing the sun, as a
// display colour.
vec3 sunColorAtViewer(vec3 towardSun)
{
    vec3 samples = sunIrradiance * transmittanceOf(opticalDepthToSun(viewerAltitude, towardSun.y));
    return displayColorOfSamples(daylightBalanced(samples));
}

// The sky's radiance along a view ray, as a display colour.
vec3 skyRadiance(vec3 viewDirection, vec3 towardSun)
{
    return displayColorOfSamples(daylightBalanced(skyRadianceSamples(viewDirection, towardSun)));
}
"
}
