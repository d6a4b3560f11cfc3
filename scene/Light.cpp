#include "scene/Light.h"

namespace Orvanta {

Light::Light(int32_t lightType, float lightRadius) : type(lightType), radius(lightRadius)
{
}

SunLight::SunLight() : Light(LightTypeSun)
{
    setSunPosition(0.0f, 0.0f);
}

void SunLight::setSunPosition(float newTimeOfDay, float newInclination)
{
    timeOfDay = newTimeOfDay;
    inclination = newInclination;
    Quaternion q = fromAxisAngle({0, 0, 1}, inclination) * fromAxisAngle({1, 0, 0}, timeOfDay);
    direction = Orvanta::rotate(q, {0, -1, 0});
}

}  // namespace Orvanta
