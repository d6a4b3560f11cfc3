#include "raytracing/RayTracer.h"
#include "raytracing/SkyEnvironment.h"
#include "renderer/Renderer.h"
#include "scene/Light.h"

namespace Orvanta {

IrradianceProbeUpdateInputs Renderer::probeUpdateInputs()
{
    IrradianceProbeUpdateInputs in;
    in.camera = mainCamera.position;
    in.tree = &rayTracer().kdTree;
    in.pool = rayTracer().workerPool();
    if (sunLight)
        in.sunDirection = sunLight->direction;
    in.captureSky = [this] { return captureSkyEnvironment(); };
    return in;
}

}  // namespace Orvanta
