#pragma once
#include <string>

namespace Orvanta {

class Renderer;

// Points the renderer's camera at the whole loaded scene from the sun's side (the box of the
// ray tracer's geometry, which holds every opaque triangle of the scene file; see frameBox). The
// demo starts an imported scene so and the render tool's --frame-scene does the same. False with
// a message, the camera left as it was, when the scene has no opaque triangles to frame.
bool frameLoadedScene(Renderer& renderer, std::string& error);

}  // namespace Orvanta
