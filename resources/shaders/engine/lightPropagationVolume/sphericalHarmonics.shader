shader
{
	code = "
// Light in a volume cell is stored as first-order spherical harmonics per colour channel: four
// coefficients (constant, x, y, z), one per volume attachment. The function they describe,
// I(w) = 0.282095 c0 + 0.488603 (cx wx + cy wy + cz wz), is the intensity of light travelling in
// direction w through the cell, per unit of cell face area.
const float SH_PI = 3.14159265;
const float SH_Y0 = 0.282095;
const float SH_Y1 = 0.488603;
// Projection of a clamped cosine lobe max(0, cos) onto the constant and linear bands.
const float SH_COSINE_LOBE_C0 = 0.886227;
const float SH_COSINE_LOBE_C1 = 1.023327;
// Linear over constant coefficient of a clamped cosine lobe (2 / sqrt(3)).
const float SH_LOBE_LINEAR_RATIO = 1.154701;

// The four coefficients of a cell, each an RGB triple.
struct ShCell
{
    vec3 c0;
    vec3 cx;
    vec3 cy;
    vec3 cz;
};

vec3 shDot(ShCell cell, vec3 w)
{
    return cell.cx * w.x + cell.cy * w.y + cell.cz * w.z;
}

// A clamped cosine lobe along the unit direction n that carries the given flux in total:
// intensity flux / pi * max(0, n . w).
ShCell shCosineLobe(vec3 n, vec3 flux)
{
    ShCell cell;
    vec3 scale = flux / SH_PI;
    cell.c0 = scale * SH_COSINE_LOBE_C0;
    cell.cx = scale * (SH_COSINE_LOBE_C1 * n.x);
    cell.cy = scale * (SH_COSINE_LOBE_C1 * n.y);
    cell.cz = scale * (SH_COSINE_LOBE_C1 * n.z);
    return cell;
}

// Irradiance on a surface with unit normal n: the cell's light travelling against n, weighted by
// the cosine (the SH convolution with a clamped cosine, evaluated at -n). Never negative.
vec3 shIrradiance(ShCell cell, vec3 n)
{
    return max(SH_COSINE_LOBE_C0 * cell.c0 - SH_COSINE_LOBE_C1 * shDot(cell, n), vec3(0.0));
}

// One channel's irradiance on a surface facing n when the cell's light is read as an even part
// plus one beam: I(w) = A + D delta(w - d) has exactly the cell's four coefficients for one A >= 0,
// D >= 0 and d (D from the linear band's length; where that is longer than a beam's, the light is
// all beam). The even part gives pi A on any surface, the beam lights only surfaces it travels
// against.
float shEvenAndBeamIrradiance(float c0, vec3 c1, vec3 n)
{
    float total = max(c0, 0.0) / SH_Y0;
    float beam = min(length(c1) / SH_Y1, total);
    vec3 d = beam > 0.0 ? normalize(c1) : vec3(0.0);
    return 0.25 * (total - beam) + beam * max(-dot(d, n), 0.0);
}

// Irradiance on a surface from a cell's light, as surfaces read it: the lower of the two readings
// the four coefficients allow. The cosine convolution (shIrradiance) gives light running along a
// surface, such as a sunlit wall's bounce beside the next wall round its corner, a quarter of its
// strength on it; as an even part plus a beam it gives none, but it gives a broad lobe facing the
// surface a little too much. Where both agree (light from every side) nothing changes.
vec3 shSurfaceIrradiance(ShCell cell, vec3 n)
{
    vec3 evenAndBeam = vec3(shEvenAndBeamIrradiance(cell.c0.r, vec3(cell.cx.r, cell.cy.r, cell.cz.r), n),
                            shEvenAndBeamIrradiance(cell.c0.g, vec3(cell.cx.g, cell.cy.g, cell.cz.g), n),
                            shEvenAndBeamIrradiance(cell.c0.b, vec3(cell.cx.b, cell.cy.b, cell.cz.b), n));
    return min(shIrradiance(cell, n), evenAndBeam);
}

// Radiance arriving from direction w (light travelling along -w). Never negative.
vec3 shRadianceFrom(ShCell cell, vec3 w)
{
    return max(SH_Y0 * cell.c0 - SH_Y1 * shDot(cell, w), vec3(0.0));
}
"
}
