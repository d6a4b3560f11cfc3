#include "renderer/GeometryVolumeSet.h"

#include "gpu/ShaderProgram.h"
#include "gpu/Texture.h"
#include "platform/gl/GlExtensions.h"

#include <string>

namespace Orvanta {

const char* const GeometryVolumeMapInjectionVertexShaderPath =
    "resources/shaders/engine/lightPropagationVolume/geometryVolumeMapInjectionVertex.shader";
const char* const GeometryVolumeScreenInjectionVertexShaderPath =
    "resources/shaders/engine/lightPropagationVolume/geometryVolumeScreenInjectionVertex.shader";
const char* const GeometryVolumeInjectionFragmentShaderPath =
    "resources/shaders/engine/lightPropagationVolume/geometryVolumeInjectionFragment.shader";

void createGeometryVolumes(GeometryVolumeSet& set, const VolumeGrid (&grids)[LightPropagationVolumeCount])
{
    set.mapInjectionProgram = getProgram(GeometryVolumeMapInjectionVertexShaderPath,
                                         GeometryVolumeInjectionFragmentShaderPath);
    set.screenInjectionProgram = getProgram(GeometryVolumeScreenInjectionVertexShaderPath,
                                            GeometryVolumeInjectionFragmentShaderPath);
    for (int i = 0; i < LightPropagationVolumeCount; ++i) {
        FrameBuffer& target = set.volumes[i];
        target.create(grids[i].width * grids[i].height, grids[i].length);
        target.addColorAttachment(0, PixelFormatRgb16F, 1, false);
        target.setDrawBuffers();
        target.checkComplete("geometry volume " + std::to_string(i));
        glViewport(0, 0, target.width, target.height);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    set.screenPoints.upload(screenInjectionGrid(GeometryVolumeSet::ScreenColumns, GeometryVolumeSet::ScreenRows));
}

}  // namespace Orvanta
