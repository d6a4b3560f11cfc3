shader
{
	code = "
// Second-order spherical harmonics of the sky's light, as the sky lighting volume stores them:
// nine coefficients per colour channel, already convolved with the clamped cosine, so that the
// irradiance on a surface of unit normal n is the sum of coefficient times basis function at n.
// The 27 numbers fill six RGBA textures and one RGB texture, coefficient after coefficient.
const float HARMONICS_PI = 3.14159265;

void harmonicsBasis(vec3 d, out float basis[9])
{
    basis[0] = 0.282095;
    basis[1] = 0.488603 * d.y;
    basis[2] = 0.488603 * d.z;
    basis[3] = 0.488603 * d.x;
    basis[4] = 1.092548 * d.x * d.y;
    basis[5] = 1.092548 * d.y * d.z;
    basis[6] = 0.315392 * (3.0 * d.z * d.z - 1.0);
    basis[7] = 1.092548 * d.x * d.z;
    basis[8] = 0.546274 * (d.x * d.x - d.y * d.y);
}

// Adds the radiance arriving from direction d (one sample of the upper hemisphere).
void addHarmonicsSample(inout vec3 coefficients[9], vec3 d, vec3 radiance)
{
    float basis[9];
    harmonicsBasis(d, basis);
    for (int c = 0; c < 9; ++c)
        coefficients[c] += radiance * basis[c];
}

// Turns the sum of sampleCount equally spaced hemisphere samples into irradiance coefficients:
// each sample stands for 2 pi / sampleCount steradians, and the clamped cosine scales band 0 by
// pi, band 1 by 2 pi / 3 and band 2 by pi / 4.
void finishHarmonics(inout vec3 coefficients[9], int sampleCount)
{
    float solidAngle = 2.0 * HARMONICS_PI / float(max(sampleCount, 1));
    coefficients[0] *= solidAngle * HARMONICS_PI;
    for (int c = 1; c < 4; ++c)
        coefficients[c] *= solidAngle * (2.0 * HARMONICS_PI / 3.0);
    for (int c = 4; c < 9; ++c)
        coefficients[c] *= solidAngle * (HARMONICS_PI / 4.0);
}

vec3 harmonicsIrradiance(vec3 coefficients[9], vec3 n)
{
    float basis[9];
    harmonicsBasis(n, basis);
    vec3 irradiance = vec3(0.0);
    for (int c = 0; c < 9; ++c)
        irradiance += coefficients[c] * basis[c];
    // Two bands cannot follow a sharp occluder exactly; their ringing must not subtract light.
    return max(irradiance, vec3(0.0));
}

// Irradiance from the first two bands alone (coefficients 0 to 3, which the first three textures
// hold): a smoother reading at three texture reads instead of seven.
vec3 lowOrderHarmonicsIrradiance(vec4 t0, vec4 t1, vec4 t2, vec3 n)
{
    float basis[9];
    harmonicsBasis(n, basis);
    vec3 irradiance = t0.rgb * basis[0] + vec3(t0.a, t1.rg) * basis[1] + vec3(t1.ba, t2.r) * basis[2] + t2.gba * basis[3];
    return max(irradiance, vec3(0.0));
}

void unpackHarmonics(vec4 t0, vec4 t1, vec4 t2, vec4 t3, vec4 t4, vec4 t5, vec3 t6, out vec3 coefficients[9])
{
    coefficients[0] = t0.rgb;
    coefficients[1] = vec3(t0.a, t1.rg);
    coefficients[2] = vec3(t1.ba, t2.r);
    coefficients[3] = t2.gba;
    coefficients[4] = t3.rgb;
    coefficients[5] = vec3(t3.a, t4.rg);
    coefficients[6] = vec3(t4.ba, t5.r);
    coefficients[7] = t5.gba;
    coefficients[8] = t6;
}
"
}
