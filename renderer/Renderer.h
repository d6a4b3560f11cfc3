#pragma once
#include "gpu/Semantics.h"
#include "renderer/AntiAliasingSet.h"
#include "renderer/FeatureSwitches.h"
#include "renderer/FrameBuffer.h"
#include "renderer/FrameBufferStack.h"
#include "renderer/FrameOverlay.h"
#include "renderer/FullScreenQuad.h"
#include "renderer/GBuffer.h"
#include "renderer/HdrSet.h"
#include "renderer/IrradianceProbeSet.h"
#include "renderer/LightMask.h"
#include "renderer/LightPropagationVolumePasses.h"
#include "renderer/PassContext.h"
#include "renderer/PassScope.h"
#include "renderer/RayTracingSet.h"
#include "renderer/RenderSettings.h"
#include "renderer/ScenePassKind.h"
#include "renderer/ScissorStack.h"
#include "renderer/ShadowMapRendering.h"
#include "renderer/ShadowMapSet.h"
#include "renderer/SkyLightingVolume.h"
#include "renderer/SkySet.h"
#include "renderer/SsaoSet.h"
#include "renderer/TemporalResolveSet.h"
#include "renderer/TextureUnitTable.h"
#include "scene/RenderCamera.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace Orvanta {

class Light;
struct TemporalResolveInputs;
struct TracedLightingInputs;
class PassTimer;
struct HdrImage;
struct SkyEnvironment;
class RenderSurface;
class SunLight;
class Texture2D;
struct ShaderProgram;
struct SubmeshMaterial;

// The renderer: everything the frame draws through. The window owns it and builds its state once
// the window's context exists; the renderer reaches the window only through its RenderSurface.
// renderFrame draws and presents one frame of the scene's visible instances through the deferred
// pipeline.
class Renderer : public UniformValueSource, public SceneDrawing {
public:
    Renderer();
    ~Renderer() override;

    // Places the camera and the sun and builds every render target and engine program for the
    // surface, whose context must be current. The surface outlives the renderer. A second call
    // does nothing.
    void initRenderer(RenderSurface& surface);
    // Draws and presents one frame. When the surface's size has changed since the last frame,
    // every screen-sized target (the sets of screenSizedSets) is first rebuilt at the new size and
    // the camera takes its aspect ratio.
    void renderFrame();

    // Client size of the window drawn to, read afresh on every call (0 before initRenderer).
    int width() const;
    int height() const;
    // Fixes the tone map's exposure (above 0): from the next frame on the frame measures and
    // adapts nothing and tone-maps with this exposure. 0 or below: adapt as the demo does.
    void setFixedExposure(float exposure) { hdr.fixedExposure = exposure; }
    // The exposure the last frame's tone map used (while the fixed exposure is unchanged since):
    // the fixed one, or the adapted one read back from the exposure target the tone map read (the
    // value itself, not recomputed here).
    float toneMapExposure();
    // The HDR scene target after the last frame, before tone mapping (row 0 at the top), with
    // toneMapExposure() as its exposure.
    HdrImage readLinearFrame();
    // Shows a linear image through the frame's tone map at a fixed exposure: uploads it into the
    // HDR scene target and runs the tone map alone (no scene pass, no adaptation), with the
    // frame's edge smoothing when that is on, into the window's framebuffer, draws the overlay
    // over it when one is attached (the demo's reference view keeps its panel), then presents it
    // as renderFrame does; the caller reads the window's pixels. False with a message, drawing
    // nothing, for an image of another size than the window or an exposure that is not above 0.
    // The next frame draws the target anew.
    bool presentLinearImage(const HdrImage& image, float exposure, std::string& error);
    // Hands the loaded scene's occlusion quad corners to the sky lighting volume.
    void setSkyOcclusionCorners(const std::vector<Float3>& corners);
    // Hands the loaded scene's foliage crowns to the sky lighting volume.
    void setSkyFoliage(const std::vector<FoliageCrown>& crowns);
    // The sky and sun as the frame lights the scene, for a CPU path tracer: the sky map the GPU
    // computed from the atmosphere model, read back texel for texel, and the sun's direction and
    // colour (its irradiance on a plane facing it), brought up to date first if the sun has moved.
    // The sun is given the sun disc's real angular size. Needs the renderer's context current.
    SkyEnvironment captureSkyEnvironment();

    // The feature switches are the attached source's (the control panel's check boxes), read
    // afresh at every call. With no source attached every feature is on, the start state.
    bool featureOn(FeatureSwitch feature) const;
    // Sets one feature switch as a click on its check box would (dependents follow). With no
    // source attached there is nothing to set: the call logs an error naming the switch.
    void setFeature(FeatureSwitch feature, bool on);
    // The source of the feature switches and the layer drawn over every frame; null detaches.
    void attachFeatureSwitches(FeatureSwitchSource* source) { featureSwitchSource = source; }
    void attachOverlay(FrameOverlay* layer) { overlay = layer; }
    // The settings without a check box (renderer/RenderSettings.h); as RenderSettings starts them
    // until set otherwise.
    void setRenderSetting(RenderSetting setting, bool on) { settings.on[setting] = on; }
    bool renderSettingOn(RenderSetting setting) const { return settings[setting]; }
    // Moves the sun to a time of day and inclination and asks every sun-dependent pass (sun
    // colour, sky map, the sky lighting volume's progressive rebuild) to follow from the next
    // frame.
    void moveSun(float timeOfDay, float inclination);

    // The main view: the app's controls move it, the scene's visibility update fills its visible
    // sets, the frame draws through it.
    RenderCamera& camera() { return mainCamera; }
    const RenderCamera& camera() const { return mainCamera; }
    // Places the main view and refreshes its matrices.
    void setCameraPose(Float3 position, Quaternion orientation);
    // The sun initRenderer places (null before it).
    SunLight* sun() const { return sunLight; }
    // When set, every pass of the frame is timed into it; null stops the timing.
    void setPassTimer(PassTimer* timer) { passTimer = timer; }
    // The GPU half of the ray tracing (reflection and refraction rays, the traced targets and the
    // last frame's counts), for the tools and benchmarks that report it.
    const RayTracingSet& rayTracingSet() const { return rayTracing; }
    // The irradiance probes (built on the first frame with the irradianceProbes setting on).
    const IrradianceProbeSet& irradianceProbeSet() const { return irradianceProbes; }

private:
    // Tests reach the pass sets and the steps below through it (tests/support); nothing else does.
    friend struct RendererTestAccess;

    // GL name of the framebuffer that stands for the window (0 for a real window).
    unsigned windowFramebuffer() const;
    // Adds a light to the light list; a sun light (type 3) also becomes the sun.
    void addLight(Light* light);
    // SceneDrawing: draws the view's visible instances with one scene pass kind. The passes reach
    // it through their PassContext.
    void drawScene(ScenePassKind kind, SceneView& view, const ProgramInputs& inputs) override;
    using SceneDrawing::drawScene;
    // UniformValueSource: the renderer's value behind each semantic, read by the uniform supply.
    bool setUniform(UniformSemantic semantic, int location, const UniformContext& context) override;
    Texture* texture(UniformSemantic semantic, const UniformContext& context) override;
    void bindTextureUnit(int unit, Texture* texture) override;
    // Loads the camera matrices as the frame does at its start: the projection moved by this
    // frame's sub-pixel offset while temporal anti-aliasing is on.
    void loadViewMatrices();
    // Runs one pass of the frame when `on`, timed under `name` while a pass timer is attached; a
    // CPU pass on the CPU clock.
    template <typename Draw>
    void pass(const char* name, bool on, Draw&& draw)
    {
        runPass(passTimer, name, on, draw);
    }
    template <typename Draw>
    void cpuPass(const char* name, bool on, Draw&& draw)
    {
        runPass(passTimer, name, on, draw, true);
    }
    void pushFrameBuffer(FrameBuffer* frameBuffer) { frameBuffers.push(frameBuffer); }
    void popFrameBuffer() { frameBuffers.pop(); }
    // Feeds a program's uniforms for an engine pass or a material pass (see UniformValueSource).
    void applyPassUniforms(const MaterialPass* pass, const SubmeshMaterial* submesh, const ShaderProgram& program,
                           const Light* light);
    // What the passes draw through: the stacks, the texture units, the scene and the frame's
    // uniform values.
    PassContext passContext();
    // What the window's overlay draws into.
    OverlayTarget overlayTarget();
    // Steps of the frame without a pass set of their own.
    void setUpFrame();
    // Temporal anti-aliasing: on with both the antiAliasing and temporalAntiAliasing settings;
    // the frame's projection (jittered while it is on); what the resolve of the finished HDR
    // frame reads.
    bool temporalAntiAliasingOn() const;
    Matrix4 frameProjection() const;
    TemporalResolveInputs temporalInputs();
    // What lighting a traced G-buffer into its targets reads: the sky lighting, the volumes' light
    // and the lights, each while its switch is on.
    TracedLightingInputs tracedLighting(RaytracedGBuffer& traced, PingPongTargets& targets);
    // What the probe update reads: the camera, the scene's tree, the workers and the sun.
    IrradianceProbeUpdateInputs probeUpdateInputs();
    // What the volumes' update reads: the sun, the camera and the switches as they are now.
    VolumeUpdateInputs volumeUpdateInputs() const;
    void initLightPropagationVolumes();
    // Places the volumes and their map cameras for the camera and the sun as they are now, so
    // that the next visibility update culls the maps' views where the next frame renders them
    // (called whenever the camera is placed or the sun moved).
    void placeLightPropagationVolumes();
    SubmeshMaterial withFallbackTextures(const SubmeshMaterial& submesh) const;
    // Every set that owns targets at the client size, in the order a resize rebuilds them.
    std::array<ScreenSizedTargets*, 7> screenSizedSets();
    // Rebuilds the screen-sized targets when the surface's size differs from theirs.
    void fitTargetsToSurface();

    bool ready = false;
    RenderSurface* surface = nullptr;
    int targetWidth = 0;
    int targetHeight = 0;
    RenderCamera mainCamera;
    SunLight* sunLight = nullptr;
    std::vector<Light*> lightList;
    HdrSet hdr;
    GBuffer mainGBuffer;
    TextureUnitTable textureUnits;
    ShaderProgram* zFillProgram = nullptr;
    ShaderProgram* alphaTestedZFillProgram = nullptr;
    LightMask lightMask;
    Texture2D* shadowSamplingNoise = nullptr;
    // Point-light faces, cascaded and overlapped sun maps, their programs and sampling disc.
    ShadowMapSet shadows;
    SkySet sky;
    FrameBufferStack frameBuffers;
    ScissorStack scissors;
    PassTimer* passTimer = nullptr;
    FeatureSwitchSource* featureSwitchSource = nullptr;
    FrameOverlay* overlay = nullptr;
    RenderSettings settings;
    FrustumVectors frustumVectors;
    LightPropagationVolumeSet propagationVolumes;
    SsaoSet ssao;
    AntiAliasingSet antiAliasing;
    TemporalResolveSet temporal;
    std::unique_ptr<Texture2D> flatNormalTexture;
    std::unique_ptr<Texture2D> defaultSpecularTexture;
    std::unique_ptr<SunLight> ownedSun;
    SkyLightingVolume skyLighting;
    RayTracingSet rayTracing;
    IrradianceProbeSet irradianceProbes;
};

}  // namespace Orvanta
