#include "renderer/Renderer.h"
#include "renderer/TemporalResolvePass.h"
#include "scene/Light.h"

namespace Orvanta {

bool Renderer::temporalAntiAliasingOn() const
{
    return settings[AntiAliasing] && settings[TemporalAntiAliasing] && temporal.created();
}

Matrix4 Renderer::frameProjection() const
{
    if (!temporalAntiAliasingOn())
        return mainCamera.projectionMatrix;
    return jitteredProjection(mainCamera.projectionMatrix, temporal.frameJitter(), targetWidth, targetHeight);
}

TemporalResolveInputs Renderer::temporalInputs()
{
    TemporalResolveInputs in;
    in.scene = &hdr.scene;
    in.camera = &mainCamera;
    in.key.width = targetWidth;
    in.key.height = targetHeight;
    if (sunLight)
        in.key.sunDirection = sunLight->direction;
    for (int i = 0; i < FeatureSwitchCount; ++i)
        in.key.features[i] = featureOn(static_cast<FeatureSwitch>(i));
    for (int i = 0; i < RenderSettingCount; ++i)
        in.key.settings[i] = settings.on[i];
    in.lightingSettling = featureOn(SkyLighting) &&
                          skyLighting.slicesWrittenSinceRestart < skyLighting.slicesPerRebuild();
    return in;
}

}  // namespace Orvanta
