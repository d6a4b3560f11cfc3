#pragma once
#include "app/Window.h"
#include "content/ObjectInstance.h"
#include "gpu/Material.h"
#include "renderer/Renderer.h"

#include <string>
#include <vector>

namespace OrvantaTest {

// A renderer on a small headless target with hand-built content: a ground slab and a box lit by
// the sun in front of the start camera, and a sky dome with the sky material. Created once per
// test process (after the test GL context, so the renderer's own context stays current). A loaded
// control panel supplies the feature switches (setFeature works); it is not drawn over the frame.
// Anti-aliasing is off (frames are unjittered).
struct TestWorld {
    Orvanta::Window* window = nullptr;
    Orvanta::Renderer* renderer = nullptr;
    Orvanta::ObjectInstance* box = nullptr;
    Orvanta::ObjectInstance* sky = nullptr;
    std::vector<Orvanta::ObjectInstance*> instances;
    std::string logged;  // every message logged since the world was made
};

TestWorld& testWorld();
// An axis-aligned box as 12 triangles with outward (or, with inward, inward-facing) normals and
// tangents, drawn with one material and no textures of its own.
Orvanta::Object* makeBox(Orvanta::Float3 lo, Orvanta::Float3 hi, Orvanta::Material* material, bool inward);
// The four walls (and with top, the top) of the axis-aligned box lo..hi as sky occlusion quads,
// four corners each in the parallelogram order (corner 3 = corner 0 + corner 2 - corner 1).
std::vector<Orvanta::Float3> occlusionBox(Orvanta::Float3 lo, Orvanta::Float3 hi, bool withTop);
// An opaque material whose deferred-write pass uses the default G-buffer program.
Orvanta::Material* opaqueMaterial();
// A new instance of an opaque axis-aligned box (default G-buffer write), for scenes of one test.
Orvanta::ObjectInstance* makeBoxInstance(Orvanta::Float3 lo, Orvanta::Float3 hi);
// Fills the renderer's view with the given instances (all visible), as the visibility update would.
void showInstances(const std::vector<Orvanta::ObjectInstance*>& instances);
// Renders one frame and returns the window's pixels (RGBA8, top row first).
std::vector<uint8_t> renderPixels();
// A material pass program linked from two shader files; false when it does not link.
bool linkMaterialProgram(Orvanta::MaterialPass& pass, const std::string& vertex, const std::string& fragment);

struct Rgb {
    double r = 0, g = 0, b = 0;
    double sum() const { return r + g + b; }
};
// Mean colour of a pixel rectangle (x, y from the top-left).
Rgb meanColor(const std::vector<uint8_t>& rgba, int width, int x0, int y0, int x1, int y1);

}  // namespace OrvantaTest
