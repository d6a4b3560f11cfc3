#pragma once
#include "scene/Math.h"

#include <cstdint>

namespace Orvanta {

// A small, fast generator (PCG32, O'Neill 2014) seeded per pixel and sample, so a picture does not
// depend on which worker traced which tile or in which order.
class SampleGenerator {
public:
    SampleGenerator(uint64_t sequence, uint64_t seed)
    {
        increment = (sequence << 1u) | 1u;
        next();
        state += seed;
        next();
    }
    uint32_t next()
    {
        const uint64_t old = state;
        state = old * 6364136223846793005ull + increment;
        const uint32_t shifted = uint32_t(((old >> 18u) ^ old) >> 27u);
        const uint32_t rotation = uint32_t(old >> 59u);
        return (shifted >> rotation) | (shifted << ((32u - rotation) & 31u));
    }
    // Uniform in [0, 1): the top 24 bits, so 1 itself is never returned.
    float uniform() { return float(next() >> 8) * (1.0f / 16777216.0f); }

private:
    uint64_t state = 0;
    uint64_t increment = 0;
};

// Two unit vectors completing n (unit) to a right-handed orthonormal basis (Duff et al. 2017).
void orthonormalBasis(Float3 n, Float3& tangent, Float3& bitangent);

// A direction about n (unit) with density cos(theta) / pi.
Float3 sampleCosineHemisphere(Float3 n, float u1, float u2);

// A direction inside the cone of half-angle acos(cosMax) about axis (unit), uniform in solid angle.
Float3 sampleCone(Float3 axis, float cosMax, float u1, float u2);

// A direction about n (unit) whose angle to n has density proportional to cos^power (the
// half-vector distribution of a Blinn-Phong lobe): pdf (power + 1) / (2 pi) cos^power.
Float3 samplePowerCosine(Float3 n, float power, float u1, float u2);

Float3 reflectAbout(Float3 incident, Float3 n);

// The luminance weights of linear sRGB (Rec. 709).
float luminanceOf(Float3 c);

}  // namespace Orvanta
