#include "RendererTestScene.h"

#include "content/Object.h"
#include "content/ObjectFile.h"
#include "gpu/ShaderProgram.h"
#include "gpu/SubmeshMaterial.h"
#include "overlay/ControlPanel.h"
#include "platform/gl/GlExtensions.h"
#include "platform/HeadlessContext.h"
#include "platform/Log.h"
#include "scene/Light.h"
#include "support/GlTestContext.h"

namespace OrvantaTest {

using namespace Orvanta;

Object* makeBox(Float3 lo, Float3 hi, Material* material, bool inward)
{
    std::vector<ObjectVertex> vertices;
    std::vector<uint32_t> indices;
    auto face = [&](Float3 n, Float3 t, Float3 b) {
        Float3 centre = (lo + hi) * 0.5f;
        Float3 half = (hi - lo) * 0.5f;
        uint32_t base = static_cast<uint32_t>(vertices.size());
        const float corners[4][2] = {{-1, -1}, {1, -1}, {1, 1}, {-1, 1}};
        for (auto& c : corners) {
            ObjectVertex v;
            Float3 offset = n + t * c[0] + b * c[1];
            v.position = centre + multiplyComponents(offset, half);
            v.normal = inward ? -n : n;
            v.tangent = t;
            v.binormal = b;
            v.texCoord[0] = c[0] * 0.5f + 0.5f;
            v.texCoord[1] = c[1] * 0.5f + 0.5f;
            vertices.push_back(v);
        }
        uint32_t order[6] = {0, 1, 2, 0, 2, 3};
        if (inward)
            std::swap(order[1], order[2]), std::swap(order[4], order[5]);
        for (uint32_t o : order)
            indices.push_back(base + o);
    };
    face({1, 0, 0}, {0, 0, -1}, {0, 1, 0});
    face({-1, 0, 0}, {0, 0, 1}, {0, 1, 0});
    face({0, 1, 0}, {1, 0, 0}, {0, 0, -1});
    face({0, -1, 0}, {1, 0, 0}, {0, 0, 1});
    face({0, 0, 1}, {1, 0, 0}, {0, 1, 0});
    face({0, 0, -1}, {-1, 0, 0}, {0, 1, 0});

    auto* object = new Object;
    glGenBuffersARB(1, &object->indexBuffer);
    glGenBuffersARB(1, &object->vertexBuffer);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, object->vertexBuffer);
    glBufferDataARB(GL_ARRAY_BUFFER_ARB, static_cast<GLsizeiptr>(vertices.size() * sizeof(ObjectVertex)),
                    vertices.data(), GL_STATIC_DRAW_ARB);
    glBindBufferARB(GL_ARRAY_BUFFER_ARB, 0);
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, object->indexBuffer);
    glBufferDataARB(GL_ELEMENT_ARRAY_BUFFER_ARB, static_cast<GLsizeiptr>(indices.size() * 4), indices.data(),
                    GL_STATIC_DRAW_ARB);
    glBindBufferARB(GL_ELEMENT_ARRAY_BUFFER_ARB, 0);
    auto* submeshMaterial = new SubmeshMaterial;
    submeshMaterial->material = material;
    submeshMaterial->specularPower = 16.0f;
    Submesh submesh;
    submesh.material = submeshMaterial;
    submesh.firstIndex = 0;
    submesh.lastIndex = static_cast<uint32_t>(indices.size() - 1);
    object->submeshes.push_back(submesh);
    object->minCorner = lo;
    object->maxCorner = hi;
    return object;
}

std::vector<Float3> occlusionBox(Float3 lo, Float3 hi, bool withTop)
{
    std::vector<Float3> corners;
    auto face = [&](Float3 c0, Float3 c1, Float3 c2) { corners.insert(corners.end(), {c0, c1, c2, c0 + c2 - c1}); };
    face({hi.x, lo.y, lo.z}, {lo.x, lo.y, lo.z}, {lo.x, hi.y, lo.z});
    face({lo.x, lo.y, hi.z}, {hi.x, lo.y, hi.z}, {hi.x, hi.y, hi.z});
    face({hi.x, lo.y, hi.z}, {hi.x, lo.y, lo.z}, {hi.x, hi.y, lo.z});
    face({lo.x, lo.y, lo.z}, {lo.x, lo.y, hi.z}, {lo.x, hi.y, hi.z});
    if (withTop)
        face({hi.x, hi.y, lo.z}, {lo.x, hi.y, lo.z}, {lo.x, hi.y, hi.z});
    return corners;
}

Material* opaqueMaterial()
{
    auto* material = new Material;
    auto pass = std::make_unique<MaterialPass>();
    pass->type = PassTypeDeferredWrite;
    pass->useDefaultPass = true;
    material->deferredWritePass = pass.get();
    material->passes.push_back(std::move(pass));
    return material;
}

namespace {

Material* skyMaterial()
{
    auto* material = new Material;
    auto pass = std::make_unique<MaterialPass>();
    pass->type = PassTypeSky;
    linkMaterialProgram(*pass, "resources/shaders/materials/skyVertex.shader",
                        "resources/shaders/materials/skyFragment.shader");
    material->skyPass = pass.get();
    material->passes.push_back(std::move(pass));
    return material;
}

}  // namespace

bool linkMaterialProgram(MaterialPass& pass, const std::string& vertex, const std::string& fragment)
{
    createProgramObject(pass.program);
    ShaderSource v = loadShaderSource(vertex);
    ShaderSource f = loadShaderSource(fragment);
    attachVertexShader(pass.program, v);
    attachFragmentShader(pass.program, f);
    std::vector<SemanticPair> pairs = v.semantics;
    pairs.insert(pairs.end(), f.semantics.begin(), f.semantics.end());
    linkProgram(pass.program, pairs);
    GLint linked = 0;
    glGetObjectParameterivARB(pass.program.program, GL_OBJECT_LINK_STATUS_ARB, &linked);
    return linked != 0;
}

TestWorld& testWorld()
{
    static TestWorld world;
    static bool made = false;
    if (made)
        return world;
    made = true;
    if (!glContext())
        return world;
    setLogSink([](const std::string& message) { world.logged += message + "\n"; });
    Window::requestHeadless(160, 90);
    static Window window;
    if (!window.open())
        return world;
    Renderer& renderer = window.renderer();
    world.window = &window;
    world.renderer = &renderer;
    // The panel's check boxes are the feature switches; the frame tests read the 3D image alone,
    // so the panel is not drawn over it.
    static ControlPanel panel;
    loadPanel(panel, renderer);
    renderer.attachOverlay(nullptr);
    // Unjittered frames, so that frames drawn with different switches compare pixel for pixel;
    // the anti-aliasing tests switch it on themselves.
    renderer.setRenderSetting(AntiAliasing, false);
    Material* opaque = opaqueMaterial();
    // The start camera looks toward -x, +z; the box stands in its view, the sun lights it.
    Object* ground = makeBox({-40, -1, -40}, {40, 0, 40}, opaque, false);
    Object* box = makeBox({-2, 0, 4}, {2, 4, 8}, opaque, false);
    Object* dome = makeBox({-1000, -1000, -1000}, {1000, 1000, 1000}, skyMaterial(), true);
    world.box = new ObjectInstance(box, {0, 0, 0}, {1, 1, 1}, {});
    world.sky = new ObjectInstance(dome, {0, 0, 0}, {1, 1, 1}, {});
    world.instances = {new ObjectInstance(ground, {0, 0, 0}, {1, 1, 1}, {}), world.box, world.sky};
    // Look at the box from above the ground.
    renderer.setCameraPose({0.0f, 3.0f, -6.0f}, fromAxisAngle({1, 0, 0}, 0.15f));
    return world;
}

ObjectInstance* makeBoxInstance(Float3 lo, Float3 hi)
{
    static Material* opaque = opaqueMaterial();
    return new ObjectInstance(makeBox(lo, hi, opaque, false), {0, 0, 0}, {1, 1, 1}, {});
}

void showInstances(const std::vector<ObjectInstance*>& instances)
{
    Renderer& r = *testWorld().renderer;
    r.camera().clearVisibleSets();
    for (ObjectInstance* instance : instances)
        r.camera().addVisible(instance);
}

std::vector<uint8_t> renderPixels()
{
    Renderer& r = *testWorld().renderer;
    r.renderFrame();
    return testWorld().window->headless()->readPixels();
}

Rgb meanColor(const std::vector<uint8_t>& rgba, int width, int x0, int y0, int x1, int y1)
{
    Rgb mean;
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const uint8_t* p = &rgba[static_cast<size_t>((y * width + x) * 4)];
            mean.r += p[0], mean.g += p[1], mean.b += p[2];
            ++n;
        }
    if (n) {
        mean.r /= n, mean.g /= n, mean.b /= n;
    }
    return mean;
}

}  // namespace OrvantaTest
