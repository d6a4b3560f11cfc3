#pragma once
#include <string>

namespace Orvanta {

class Renderer;

// Points the renderer's camera at the whole loaded scene from the sun's side (the box of the
// ray tracer's geometry, which holds every opaque triangle of the scene file). False with a
// message when the scene has no opaque triangles to frame.
bool frameLoadedScene(Renderer& renderer, std::string& error);

}  // namespace Orvanta
