#include "Models.h"
#include "Random.h"
#include "Surfaces.h"

#include <cmath>

namespace Orvanta {

namespace {

// Leaf cards scattered through an ellipsoid lobe, each a randomly turned square.
void addLeafCards(MeshBuilder& mesh, Random& random, Float3 centre, Float3 radii, int count)
{
    for (int i = 0; i < count; ++i) {
        Float3 d;
        do {
            d = Float3{random.range(-1, 1), random.range(-1, 1), random.range(-1, 1)};
        } while (dot(d, d) > 1.0f);
        Float3 p = centre + multiplyComponents(d, radii);
        Quaternion q = fromAxisAngle(normalize(Float3{random.range(-1, 1), random.range(-1, 1), random.range(-1, 1)}),
                                     random.range(0, 6.2831f));
        float size = random.range(0.6f, 0.9f);
        Float3 u = rotate(q, Float3{size, 0, 0});
        Float3 v = rotate(q, Float3{0, size, 0});
        mesh.addQuad(p - (u + v) * 0.5f, u, v, random.uniform(), random.uniform());
    }
}

}  // namespace

ObjectFileData buildTree(uint32_t seed, float height)
{
    Random random(seed);
    MeshBuilder mesh;
    mesh.setSurface(Surfaces::Bark);
    float trunkHeight = height * 0.45f;
    mesh.addTaperedCylinder(Float3{0, -0.2f, 0}, Float3{0, trunkHeight + 0.2f, 0}, 0.35f, 0.25f, 12, false);
    std::vector<Float3> lobes;
    int branches = 5;
    for (int i = 0; i < branches; ++i) {
        float a = 6.2831f * (static_cast<float>(i) + random.uniform() * 0.5f) / branches;
        Float3 dir = normalize(Float3{std::cos(a), random.range(0.8f, 1.4f), std::sin(a)});
        float len = height * random.range(0.25f, 0.35f);
        Float3 base{0, trunkHeight - 0.3f, 0};
        mesh.addTaperedCylinder(base, dir * len, 0.18f, 0.06f, 8, false);
        lobes.push_back(base + dir * len);
    }
    lobes.push_back(Float3{0, height * 0.78f, 0});
    mesh.setSurface(Surfaces::Leaves);
    float r = height * 0.2f;
    for (const Float3& c : lobes)
        addLeafCards(mesh, random, c, Float3{r, r * 0.8f, r}, 420);
    return mesh.build("tree");
}

ObjectFileData buildBush(uint32_t seed)
{
    Random random(seed);
    MeshBuilder mesh;
    mesh.setSurface(Surfaces::Leaves);
    addLeafCards(mesh, random, Float3{0, 0.7f, 0}, Float3{1.1f, 0.7f, 1.1f}, 260);
    return mesh.build("bush");
}

}  // namespace Orvanta
