#include "Models.h"
#include "Surfaces.h"

namespace Orvanta {

// A jungle gym: a 3 x 2 x 2 lattice of bars with a wooden platform on top.
ObjectFileData buildClimbingFrame()
{
    MeshBuilder mesh;
    const float cell = 0.9f;
    const int nx = 3, ny = 2, nz = 2;
    mesh.setSurface(Surfaces::PaintedMetal);
    for (int j = 0; j <= ny; ++j)
        for (int k = 0; k <= nz; ++k)
            mesh.addCylinder(Float3{0, j * cell, k * cell}, Float3{nx * cell, 0, 0}, 0.03f, 8, false);
    for (int i = 0; i <= nx; ++i)
        for (int k = 0; k <= nz; ++k)
            mesh.addCylinder(Float3{i * cell, 0, k * cell}, Float3{0, ny * cell, 0}, 0.03f, 8, false);
    for (int i = 0; i <= nx; ++i)
        for (int j = 0; j <= ny; ++j)
            mesh.addCylinder(Float3{i * cell, j * cell, 0}, Float3{0, 0, nz * cell}, 0.03f, 8, false);
    mesh.setSurface(Surfaces::Wood);
    mesh.addBox(Float3{0, ny * cell, 0}, Float3{cell, ny * cell + 0.05f, nz * cell});
    return mesh.build("climbing frame");
}

}  // namespace Orvanta
