#include "Models.h"
#include "Surfaces.h"

#include <cmath>

namespace Orvanta {

// A platform 1.8 m up on four posts with a ladder at the back and a steel chute down to +z.
ObjectFileData buildSlide()
{
    MeshBuilder mesh;
    const float deck = 1.8f;
    mesh.setSurface(Surfaces::PaintedMetal);
    for (float x : {-0.6f, 0.6f})
        for (float z : {-0.6f, 0.6f})
            mesh.addCylinder(Float3{x, 0, z}, Float3{0, deck + 1.0f, 0}, 0.05f, 10, true);
    for (float x : {-0.35f, 0.35f})
        mesh.addCylinder(Float3{x, 0, -1.5f}, Float3{0, deck + 0.1f, 0.9f}, 0.03f, 8, true);
    for (int i = 1; i <= 6; ++i) {
        float t = static_cast<float>(i) / 7.0f;
        mesh.addCylinder(Float3{-0.35f, t * (deck + 0.1f), -1.5f + t * 0.9f}, Float3{0.7f, 0, 0}, 0.02f, 6, false);
    }
    mesh.setSurface(Surfaces::Wood);
    mesh.addBox(Float3{-0.65f, deck - 0.06f, -0.65f}, Float3{0.65f, deck, 0.65f});
    mesh.addBox(Float3{-0.65f, deck + 0.9f, -0.65f}, Float3{0.65f, deck + 1.0f, 0.65f});
    // Chute: a tilted trough from the deck edge to the ground.
    float length = 4.2f;
    float angle = std::asin((deck - 0.3f) / length);
    Quaternion tilt = fromAxisAngle(Float3{1, 0, 0}, angle);
    Float3 start{0, deck, 0.65f};
    Float3 dir = rotate(tilt, Float3{0, 0, 1});
    Float3 centre = start + dir * (length * 0.5f);
    mesh.setSurface(Surfaces::SlideSteel);
    mesh.addOrientedBox(centre, Float3{0.3f, 0.02f, length * 0.5f}, tilt);
    for (float x : {-0.32f, 0.32f})
        mesh.addOrientedBox(centre + rotate(tilt, Float3{x, 0.1f, 0}), Float3{0.02f, 0.12f, length * 0.5f}, tilt);
    mesh.setSurface(Surfaces::PaintedMetal);
    Float3 end = start + dir * length;
    for (float x : {-0.25f, 0.25f})
        mesh.addCylinder(Float3{x, 0, end.z - 0.3f}, Float3{0, end.y + 0.05f, 0}, 0.04f, 8, true);
    return mesh.build("slide");
}

}  // namespace Orvanta
