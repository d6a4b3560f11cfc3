#pragma once
#include "content/KdTree.h"
#include "raytracing/ReferenceTracer.h"
#include "scene/Math.h"

namespace Orvanta {

class Renderer;
class RayTracer;

// The demo's F2 view: the reference path tracer's picture of the current camera and sun in place
// of the real-time frame. Every frame the ray tracer's workers add one sample per pixel (fork-join,
// as the reflections' tracing is) and the screen shows the mean so far through the frame's tone
// map at the exposure the eye had when the view was entered. Any movement of the camera or the
// sun, a resized window, or F2 again, returns to the real-time frame; the overlay (F1) stays
// drawn over it.
//
// The picture is traced at the window's size divided by a whole factor that keeps one sample of
// every pixel within kPathsPerFrame paths, so the first picture appears at once and sharpens as it
// accumulates; each traced pixel covers a block of the window's pixels.
class ReferenceView {
public:
    static constexpr uint32_t kPathsPerFrame = 100000;

    bool active() const { return isActive; }
    // Enters the view (capturing the sky, the sun and the exposure) or leaves it.
    void toggle(Renderer& renderer, RayTracer& tracer);
    // One frame of the view: leaves it when the camera or the sun moved (returning false, and the
    // caller draws the real-time frame instead); otherwise traces, shows and presents.
    bool renderFrame(Renderer& renderer, RayTracer& tracer);

private:
    bool moved(const Renderer& renderer) const;

    bool isActive = false;
    KdTree twoSided;  // made on first use and kept: the scene's geometry never changes
    bool haveTree = false;
    SkyEnvironment sky;
    ReferenceImage image;
    uint32_t blockSize = 1;
    float exposure = 1.0f;
    Float3 cameraPosition;
    Quaternion cameraOrientation;
    float timeOfDay = 0.0f;
    float inclination = 0.0f;
    // The window's size when the view was entered: a resized window returns to the real-time frame.
    int windowWidth = 0;
    int windowHeight = 0;
};

}  // namespace Orvanta
