#include "Models.h"
#include "Surfaces.h"

namespace Orvanta {

// An A-frame swing set along x with two seats on chains.
ObjectFileData buildSwings()
{
    MeshBuilder mesh;
    const float top = 2.4f;
    const float half = 1.8f;
    mesh.setSurface(Surfaces::PaintedMetal);
    for (float x : {-half, half}) {
        mesh.addCylinder(Float3{x, 0, -0.8f}, Float3{0, top, 0.8f}, 0.06f, 10, false);
        mesh.addCylinder(Float3{x, 0, 0.8f}, Float3{0, top, -0.8f}, 0.06f, 10, false);
    }
    mesh.addCylinder(Float3{-half - 0.1f, top, 0}, Float3{2 * half + 0.2f, 0, 0}, 0.07f, 12, true);
    mesh.setSurface(Surfaces::SlideSteel);
    for (float seat : {-0.8f, 0.8f}) {
        for (float dx : {-0.22f, 0.22f})
            mesh.addCylinder(Float3{seat + dx, 0.45f, 0}, Float3{0, top - 0.45f, 0}, 0.012f, 6, false);
    }
    mesh.setSurface(Surfaces::Rubber);
    for (float seat : {-0.8f, 0.8f})
        mesh.addBox(Float3{seat - 0.25f, 0.42f, -0.1f}, Float3{seat + 0.25f, 0.46f, 0.1f});
    mesh.addBox(Float3{-half, 0.0f, -0.6f}, Float3{half, 0.03f, 0.6f});
    return mesh.build("swings");
}

}  // namespace Orvanta
