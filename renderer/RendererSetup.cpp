#include "gpu/ShaderProgram.h"
#include "gpu/SubmeshMaterial.h"
#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"
#include "platform/Log.h"
#include "platform/RenderSurface.h"
#include "raytracing/RayTracer.h"
#include "renderer/PassTimer.h"
#include "renderer/Renderer.h"
#include "renderer/StartCamera.h"
#include "scene/Light.h"

namespace Orvanta {

Renderer::Renderer() = default;

Renderer::~Renderer() = default;

void Renderer::addLight(Light* light)
{
    if (light->type == LightTypeSun)
        sunLight = static_cast<SunLight*>(light);
    lightList.push_back(light);
}

void Renderer::moveSun(float timeOfDay, float inclination)
{
    if (!sunLight)
        return;
    sunLight->setSunPosition(timeOfDay, inclination);
    sky.updateFlag = true;
    restartSkyLightingVolume(skyLighting);
    placeLightPropagationVolumes();
}

bool Renderer::featureOn(FeatureSwitch feature) const
{
    return featureSwitchSource ? featureSwitchSource->featureOn(feature) : true;
}

void Renderer::setFeature(FeatureSwitch feature, bool on)
{
    if (!featureSwitchSource) {
        const char* name = featureSwitchName(feature);
        logError(std::string("cannot set the feature switch ") + (name ? name : "?") +
                 ": no control panel is attached to the renderer");
        return;
    }
    featureSwitchSource->setFeature(feature, on);
}

int Renderer::width() const
{
    return surface ? surface->width() : 0;
}

int Renderer::height() const
{
    return surface ? surface->height() : 0;
}

unsigned Renderer::windowFramebuffer() const
{
    return surface ? surface->framebuffer() : 0;
}

void Renderer::setCameraPose(Float3 position, Quaternion orientation)
{
    mainCamera.setPosition(position);
    mainCamera.setOrientation(orientation);
    mainCamera.updateMatrices();
    placeLightPropagationVolumes();
}

void Renderer::initRenderer(RenderSurface& windowSurface)
{
    if (ready)
        return;
    surface = &windowSurface;
    frameBuffers.setWindow(surface);
    createRayTracingSet(rayTracing, rayTracer(), width(), height());

    mainCamera.setPosition({5.0f, 5.0f, -3.0f});
    mainCamera.updateTransform();
    mainCamera.fieldOfView = 60.0f;
    mainCamera.aspectRatio = static_cast<float>(width()) / static_cast<float>(height());
    mainCamera.nearDistance = 0.1f;
    mainCamera.farDistance = 10000.0f;
    mainCamera.setPosition(kStartCameraPosition);
    mainCamera.setOrientation(kStartCameraOrientation);
    mainCamera.updateMatrices();

    ownedSun = std::make_unique<SunLight>();
    ownedSun->setSunPosition(-0.3454f, -0.80855f);
    addLight(ownedSun.get());

    textureUnits.initialise();
    hdr.create(width(), height());
    antiAliasing.create(width(), height());
    temporal.create(width(), height());

    zFillProgram = getVertexProgram("resources/shaders/engine/defaultZFillVertex.shader");
    alphaTestedZFillProgram = getProgram("resources/shaders/engine/defaultZFillVertex.shader",
                                         "resources/shaders/engine/defaultZFillAlphaTestedFragment.shader");

    createPointLightShadowFaces(shadows);
    createCascadedShadowMaps(shadows);
    createOverlappedShadowMaps(shadows);
    createShadowPrograms(shadows);
    glBindFramebuffer(GL_FRAMEBUFFER, windowFramebuffer());

    mainGBuffer.create(width(), height());
    ssao.create(width(), height());

    lightMask.resizeTargets(width(), height());
    glBindFramebuffer(GL_FRAMEBUFFER, windowFramebuffer());

    shadowSamplingNoise = getTexture("resources/textures/engine/shadowSamplingNoise.tga", false);
    shadows.samplingNoise = shadowSamplingNoise;

    initLightPropagationVolumes();
    sky.create();
    initSkyLightingVolume(skyLighting);
    glBindFramebuffer(GL_FRAMEBUFFER, windowFramebuffer());
    glViewport(0, 0, width(), height());

    flatNormalTexture = solidTexture(128, 128, 255);
    defaultSpecularTexture = solidTexture(kDefaultSpecularLevel, kDefaultSpecularLevel, kDefaultSpecularLevel);
    glUseProgramObjectARB(0);
    targetWidth = width();
    targetHeight = height();
    ready = true;
}

std::array<ScreenSizedTargets*, 7> Renderer::screenSizedSets()
{
    return {&hdr, &antiAliasing, &temporal, &mainGBuffer, &ssao, &lightMask, &rayTracing};
}

void Renderer::fitTargetsToSurface()
{
    const int w = width();
    const int h = height();
    // A minimised window has no pixels: the targets keep their size until it has some again.
    if (w <= 0 || h <= 0 || (w == targetWidth && h == targetHeight))
        return;
    targetWidth = w;
    targetHeight = h;
    for (ScreenSizedTargets* set : screenSizedSets())
        set->resizeTargets(w, h);
    glBindFramebuffer(GL_FRAMEBUFFER, windowFramebuffer());
    glViewport(0, 0, w, h);
    mainCamera.aspectRatio = static_cast<float>(w) / static_cast<float>(h);
    mainCamera.updateMatrices();
}

}  // namespace Orvanta
