shader
{
	code = "
// Filmic curve (toe, linear section, soft shoulder) of the tone map, and its luminance mapping
// normalised so that the white point maps to 1. The mapping rises strictly, so it has an inverse
// below its limit for large input (used where colours are averaged as the display shows them).
const float filmicA = 0.15; // shoulder strength
const float filmicB = 0.50; // linear strength
const float filmicC = 0.10; // linear angle
const float filmicD = 0.20; // toe strength
const float filmicE = 0.02; // toe numerator
const float filmicF = 0.30; // toe denominator
const float filmicWhitePoint = 11.2;

vec3 filmic(vec3 x)
{
    return ((x * (filmicA * x + filmicC * filmicB) + filmicD * filmicE) /
            (x * (filmicA * x + filmicB) + filmicD * filmicF)) - filmicE / filmicF;
}

float filmicLuminance(float exposedLuminance)
{
    return filmic(vec3(exposedLuminance)).x / filmic(vec3(filmicWhitePoint)).x;
}

// The exposed luminance that filmicLuminance maps to `mapped` (0 at or below 0). With
// g = mapped * filmic(white) + E / F the curve's equation is the quadratic
// A (1 - g) x^2 + B (C - g) x + D (E - g F) = 0, whose positive root is taken in the form that
// does not cancel; g stays below the curve's limit of 1.
float inverseFilmicLuminance(float mapped)
{
    if (mapped <= 0.0)
        return 0.0;
    float g = min(mapped * filmic(vec3(filmicWhitePoint)).x + filmicE / filmicF, 0.9999);
    float a = filmicA * (1.0 - g);
    float b = filmicB * (filmicC - g);
    float c = filmicD * (filmicE - g * filmicF);
    float root = sqrt(max(b * b - 4.0 * a * c, 0.0));
    return b >= 0.0 ? 2.0 * c / (-b - root) : (-b + root) / (2.0 * a);
}
"
}
