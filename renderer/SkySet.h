#pragma once
#include "renderer/FrameBuffer.h"
#include "renderer/SkyParameters.h"

namespace Orvanta {

struct ShaderProgram;

// The sky model's state: its parameters, the 256 x 256 sky map (radiance by direction, read by
// shaders as SKY_MAP_TEXTURE) and the programs that write the sun colour and the map. The update
// flag asks for both to be recomputed at the next frame; it is set at creation and whenever the
// sun moves.
struct SkySet {
    static constexpr int skyMapSize = 256;

    // Sets the parameters, builds the programs and the sky map target, sets the update flag.
    // Leaves the target bound.
    void create();

    SkyParameters parameters;
    ShaderProgram* sunColorProgram = nullptr;
    ShaderProgram* skyMapProgram = nullptr;
    ShaderProgram* aerialPerspectiveProgram = nullptr;
    FrameBuffer skyMap;
    bool updateFlag = true;
};

}  // namespace Orvanta
