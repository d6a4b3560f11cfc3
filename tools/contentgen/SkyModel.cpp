#include "Models.h"
#include "Surfaces.h"

namespace Orvanta {

ObjectFileData buildSky()
{
    MeshBuilder mesh;
    mesh.setSurface(Surfaces::Sky);
    // Seen from the centre: the renderer draws it around the viewer with depth writes off.
    mesh.addSphere(Float3{0, 0, 0}, 500.0f, 24, 48, true);
    return mesh.build("sky dome");
}

}  // namespace Orvanta
