#pragma once
#include "renderer/FrameBuffer.h"
#include "renderer/InjectionPointBuffer.h"
#include "renderer/LightPropagationVolumeLayout.h"

namespace Orvanta {

struct ShaderProgram;

// The geometry volumes that hold light back in the propagation: one per light propagation volume,
// of the same cells shifted by half a cell (each centred on a corner of the light volume's
// cells), filled every frame with the blocking potential of the surfaces the volume's reflective
// shadow map sees and of those the camera's G-buffer sees.
struct GeometryVolumeSet {
    // The grid of camera points over the screen, independent of the window's size: about as many
    // points as a reflective shadow map has texels.
    static constexpr int ScreenColumns = 160;
    static constexpr int ScreenRows = 90;

    ShaderProgram* mapInjectionProgram = nullptr;
    ShaderProgram* screenInjectionProgram = nullptr;
    // Layered like the light volumes ((W H) x L texels), one linearly filtered GL_RGB16F
    // attachment holding three blocking coefficients per cell.
    FrameBuffer volumes[LightPropagationVolumeCount];
    InjectionPointBuffer screenPoints;
};

extern const char* const GeometryVolumeMapInjectionVertexShaderPath;
extern const char* const GeometryVolumeScreenInjectionVertexShaderPath;
extern const char* const GeometryVolumeInjectionFragmentShaderPath;

// Builds the programs, the camera points and one target per grid (cleared: no blocking). Needs a
// current GL context; leaves the last target bound.
void createGeometryVolumes(GeometryVolumeSet& set, const VolumeGrid (&grids)[LightPropagationVolumeCount]);

}  // namespace Orvanta
