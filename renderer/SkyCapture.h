#pragma once
#include "raytracing/SkyEnvironment.h"

namespace Orvanta {

class Renderer;

// The sky and sun as the frame lights the scene, for a CPU path tracer: the sky map the GPU
// computed from the atmosphere model, read back texel for texel, and the sun's direction and
// colour (its irradiance on a plane facing it), brought up to date first if the sun has moved.
// The sun is given the sun disc's real angular size. Needs the renderer's context current.
SkyEnvironment captureSkyEnvironment(Renderer& renderer);

}  // namespace Orvanta
