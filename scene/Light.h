#pragma once
#include "scene/LightType.h"
#include "scene/MovableEntity.h"

#include <cstdint>

namespace Orvanta {

// A light placed in the scene. Its world position, radius, colour and direction feed the light
// uniforms of the lighting passes.
class Light : public MovableEntity {
public:
    explicit Light(int32_t lightType, float lightRadius = 1.0f);

    int32_t type = LightTypePoint;
    float color[4] = {0.0f, 0.0f, 0.0f, 1.0f};  // red, green, blue, alpha
    float radius = 1.0f;
    // Direction the light travels, unit length (zero for a light without one).
    Float3 direction;
};

// The sun: its direction follows from the time of day and the inclination of its path.
class SunLight : public Light {
public:
    // Noon on an untilted path: the light falls straight down.
    SunLight();

    // Stores both angles (radians) and recomputes direction. timeOfDay 0 is noon; it turns the
    // sun about the world x axis, and inclination then tilts that path about the world z axis.
    void setSunPosition(float newTimeOfDay, float newInclination);

    float inclination = 0.0f;
    float timeOfDay = 0.0f;
};

}  // namespace Orvanta
