#pragma once
#include "scene/Math.h"

#include <cstdint>
#include <vector>

namespace Orvanta {

// The light that reaches the scene from outside it, as a path tracer needs it: the sky's radiance
// in every direction and the sun as a small disc.
//
// The sky is an equirectangular map laid out as the renderer's sky map (u follows the azimuth,
// atan2(z, x); v the elevation through a square root, crowding rows about the horizon), row 0 at
// v = 0 (straight down), read with the GPU's bilinear filter and edge clamping, so the tracer sees
// exactly the radiance the frame's sky pass and sky lighting read. Directions are sampled in
// proportion to the map's radiance (with every texel kept reachable), for the next-event estimate
// towards the sky.
struct SkyEnvironment {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<Float3> radiance;  // width x height, row by row

    Float3 towardSun{0.0f, 1.0f, 0.0f};  // unit
    // Irradiance on a plane facing the sun, as the deferred sun light applies it; zero: no sun.
    Float3 sunIrradiance;
    // Cosine of the sun disc's angular radius; its radiance is sunIrradiance over the disc's solid angle.
    float sunCosRadius = 1.0f;

    // Sampling tables, made by prepareSkySampling: the rows' cumulative weights, then each row's
    // texels' cumulative weights (both normalised to end at 1).
    std::vector<float> rowCdf;
    std::vector<float> texelCdf;
    std::vector<float> texelProbability;  // of choosing each texel
};

// The sun's angular radius as seen from the earth: 0.267 degrees.
inline constexpr float kSunAngularRadius = 0.00465f;

// Sky map coordinates of a direction (any length but zero) and the direction of coordinates; the
// renderer's sky map shader uses the same pair.
void skyMapCoordinates(Float3 direction, float& u, float& v);
Float3 skyMapDirection(float u, float v);

// A sky of the same radiance in every direction and no sun.
SkyEnvironment uniformSky(Float3 radiance);

// Builds the sampling tables; call after filling the map (and again after changing it).
void prepareSkySampling(SkyEnvironment& sky);

// The sky's radiance in a direction (unit), the sun excluded.
Float3 skyRadianceIn(const SkyEnvironment& sky, Float3 direction);

// A direction drawn from the sampling tables, with its density in solid angle.
Float3 sampleSkyDirection(const SkyEnvironment& sky, float u1, float u2, float& pdf);
// The density with which sampleSkyDirection draws a direction (unit).
float skyDirectionPdf(const SkyEnvironment& sky, Float3 direction);

// The sun disc's radiance (zero outside the disc); what a mirror-like path sees of the sun.
Float3 sunRadianceIn(const SkyEnvironment& sky, Float3 direction);

// The outside light a trace lets in: both sources, or one of them alone. Light transport is linear
// in the sources, so a picture traced with the sun alone and one with the sky alone add up to the
// picture with both (within their noise): the share each source brings to every surface, direct and
// bounced, can be measured apart.
enum class OutsideLight { SunAndSky, SunOnly, SkyOnly };

// The environment with the other source taken out (a black sky keeps valid sampling tables).
SkyEnvironment withOutsideLight(const SkyEnvironment& sky, OutsideLight light);

}  // namespace Orvanta
