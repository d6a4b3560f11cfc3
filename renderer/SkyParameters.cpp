#include "renderer/SkyParameters.h"

namespace Orvanta {

Float3 rayleighColorCoefficients(float red, float green, float blue)
{
    float red4 = red * red * red * red;
    float green4 = green * green * green * green;
    float blue4 = blue * blue * blue * blue;
    return {1.0f, red4 / green4, red4 / blue4};
}

SkyParameters makeSkyParameters()
{
    SkyParameters parameters;
    parameters.rayleighColorScatteringCoefficients = rayleighColorCoefficients(
        parameters.redWavelength, parameters.greenWavelength, parameters.blueWavelength);
    return parameters;
}

}  // namespace Orvanta
