#pragma once
#include "scene/Math.h"

namespace Orvanta {

// The atmosphere of the single-scattering sky model; fixed after set-up. Wavelengths are in
// units of 100 nm and only serve to derive the colour coefficients.
struct SkyParameters {
    float redWavelength = 6.5f;
    float greenWavelength = 5.1f;
    float blueWavelength = 4.75f;
    float rayleighParticlesConcentration = 0.0009f;
    float mieParticlesConcentration = 5e-07f;
    float miePhaseParameterG = 0.8f;
    float aerialPerspectiveFogDensity = 0.0005f;
    Float3 rayleighColorScatteringCoefficients{1.0f, 1.0f, 1.0f};
    // Mie scattering relative to red, (1, (r/g)^2, (r/b)^2): the model lets it fall with the
    // inverse square of the wavelength, a weaker colour dependence than Rayleigh's fourth power.
    Float3 mieColorScatteringCoefficients{1.0f, 1.6243753f, 1.8725762f};
};

// Rayleigh scattering relative to red, (1, (r/g)^4, (r/b)^4), computed in single precision as
// the fourth powers first and then their quotients.
Float3 rayleighColorCoefficients(float red, float green, float blue);

// The parameters with the Rayleigh coefficients derived from the wavelengths.
SkyParameters makeSkyParameters();

}  // namespace Orvanta
