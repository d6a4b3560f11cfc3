#pragma once
#include "RenderOptions.h"

#include <string>

namespace Orvanta {

class OrvantaApplication;

// Starts the demo headless at the options' size with their scene, and poses it as the options
// say: camera (or the framing of the whole scene), sun sliders, feature switches, UI mode, fixed
// exposure, overlay. The render tool and the reference tracer share it, so that both see exactly
// the same view. False with a message when the scene cannot be read or started.
bool startHeadlessScene(const RenderOptions& options, OrvantaApplication& application, std::string& error);

}  // namespace Orvanta
