#include "content/Object.h"
#include "content/ObjectInstance.h"
#include "content/SceneVisibility.h"
#include "gpu/Material.h"
#include "gpu/SubmeshMaterial.h"
#include "platform/Log.h"
#include "scene/RenderCamera.h"
#include "scene/Scene.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace Orvanta;

namespace {

// A camera at the origin looking along +z (90 degree square view, near 0.1, far 100) and a scene
// whose instance list the test fills; the scene's own list is restored afterwards.
class VisibleSets : public ::testing::Test {
protected:
    VisibleSets()
    {
        camera.fieldOfView = 90.0f;
        camera.aspectRatio = 1.0f;
        camera.nearDistance = 0.1f;
        camera.farDistance = 100.0f;
        camera.updateMatrices();
        savedInstances = scene().instances;
        scene().instances.clear();
        setLogSink([](const std::string&) {});
    }
    ~VisibleSets() override
    {
        scene().instances = savedInstances;
        setLogSink({});
    }

    // An object of unit-box submeshes, one per material given (null: a plain material).
    Object* makeObject(std::vector<Material*> materials)
    {
        auto object = std::make_unique<Object>();
        object->minCorner = {-0.5f, -0.5f, -0.5f};
        object->maxCorner = {0.5f, 0.5f, 0.5f};
        for (Material* material : materials) {
            auto submeshMaterial = std::make_unique<SubmeshMaterial>();
            submeshMaterial->material = material ? material : &plain;
            Submesh submesh;
            submesh.material = submeshMaterial.get();
            object->submeshes.push_back(submesh);
            submeshMaterials.push_back(std::move(submeshMaterial));
        }
        objects.push_back(std::move(object));
        return objects.back().get();
    }
    ObjectInstance* place(Object* object, Float3 position, Float3 scale = {1, 1, 1})
    {
        instances.push_back(std::make_unique<ObjectInstance>(object, position, scale, Quaternion{}));
        scene().instances.push_back(instances.back().get());
        return instances.back().get();
    }

    RenderCamera camera;
    MaterialPass pass;
    Material plain;
    std::vector<std::unique_ptr<SubmeshMaterial>> submeshMaterials;
    std::vector<std::unique_ptr<Object>> objects;
    std::vector<std::unique_ptr<ObjectInstance>> instances;
    std::vector<ObjectInstance*> savedInstances;
};

}  // namespace

TEST_F(VisibleSets, BoxesInFrontAndAcrossTheNearPlaneStayAndBoxesBehindAreCulled)
{
    Object* box = makeObject({nullptr});
    ObjectInstance* front = place(box, {0, 0, 10});
    place(box, {0, 0, -10});                                        // behind
    ObjectInstance* straddling = place(box, {0, 0, 0}, {1, 1, 4});  // z from -2 to 2
    place(box, {50, 0, 10});                                        // far to the side
    updateVisibleSets(scene());
    ASSERT_EQ(camera.visibleCount, 2u);
    EXPECT_EQ(camera.visibleObjects[0], front);
    EXPECT_EQ(camera.visibleObjects[1], straddling);
    EXPECT_EQ(camera.raytracedCount, 0u);

    // Refreshing after the camera turned around swaps the result: the sets are rebuilt, not grown.
    camera.setOrientation(fromAxisAngle({0, 1, 0}, 3.14159265f));
    camera.updateMatrices();
    updateVisibleSets(scene());
    ASSERT_EQ(camera.visibleCount, 2u);
    EXPECT_EQ(camera.visibleObjects[0], instances[1].get());
    EXPECT_EQ(camera.visibleObjects[1], straddling);
}

TEST_F(VisibleSets, SkyIsNeverCulled)
{
    Material sky;
    sky.skyPass = &pass;
    ObjectInstance* dome = place(makeObject({nullptr, &sky}), {0, 0, -500});
    place(makeObject({nullptr}), {0, 0, -500});
    updateVisibleSets(scene());
    ASSERT_EQ(camera.visibleCount, 1u);
    EXPECT_EQ(camera.visibleObjects[0], dome);
}

TEST_F(VisibleSets, RaycastingInstancesAreListedOnceWithTheirScreenRectangle)
{
    Material mirror;
    mirror.raycastingPass = &pass;
    ObjectInstance* twice = place(makeObject({&mirror, nullptr, &mirror}), {0, 0, 10});
    place(makeObject({&mirror}), {0, 0, -10});  // culled: not ray-cast either
    updateVisibleSets(scene());
    ASSERT_EQ(camera.visibleCount, 1u);
    ASSERT_EQ(camera.raytracedCount, 1u);
    EXPECT_EQ(camera.raytracedObjects[0], twice);
    // A unit box 10 ahead covers a small rectangle around the screen centre.
    EXPECT_GT(camera.raytracedRect[0], 0.4f);
    EXPECT_LT(camera.raytracedRect[0], 0.5f);
    EXPECT_GT(camera.raytracedRect[2], 0.5f);
    EXPECT_LT(camera.raytracedRect[2], 0.6f);
    EXPECT_GT(camera.raytracedRect[1], 0.4f);
    EXPECT_LT(camera.raytracedRect[3], 0.6f);
}

TEST_F(VisibleSets, RaycastingBoxReachingBehindTheCameraCoversTheScreen)
{
    Material mirror;
    mirror.raycastingPass = &pass;
    place(makeObject({&mirror}), {0, 0, 0}, {1, 1, 10});
    updateVisibleSets(scene());
    ASSERT_EQ(camera.raytracedCount, 1u);
    EXPECT_EQ(camera.raytracedRect[0], 0.0f);
    EXPECT_EQ(camera.raytracedRect[1], 0.0f);
    EXPECT_EQ(camera.raytracedRect[2], 1.0f);
    EXPECT_EQ(camera.raytracedRect[3], 1.0f);
}

TEST_F(VisibleSets, WithoutRaycastingInstancesTheRectangleKeepsItsValue)
{
    place(makeObject({nullptr}), {0, 0, 10});
    camera.raytracedRect[0] = 0.1f;
    camera.raytracedRect[1] = 0.2f;
    camera.raytracedRect[2] = 0.3f;
    camera.raytracedRect[3] = 0.4f;
    updateVisibleSets(scene());
    EXPECT_EQ(camera.visibleCount, 1u);
    EXPECT_EQ(camera.raytracedRect[0], 0.1f);
    EXPECT_EQ(camera.raytracedRect[3], 0.4f);
}

TEST_F(VisibleSets, FullSetsNeverOverrun)
{
    Material mirror;
    mirror.raycastingPass = &pass;
    Object* box = makeObject({&mirror});
    for (int i = 0; i < 1010; ++i)
        place(box, {0, 0, 10.0f + 0.01f * float(i)});
    updateVisibleSets(scene());
    EXPECT_EQ(camera.visibleCount, SceneView::maxVisibleObjects);
    EXPECT_EQ(camera.raytracedCount, SceneView::maxRaytracedObjects);
    EXPECT_EQ(camera.visibleObjects[999], instances[999].get());
    EXPECT_EQ(camera.raytracedObjects[99], instances[99].get());
}

TEST_F(VisibleSets, EveryRegisteredViewIsRefreshed)
{
    RenderCamera back;
    back.fieldOfView = 90.0f;
    back.nearDistance = 0.1f;
    back.farDistance = 100.0f;
    back.setOrientation(fromAxisAngle({0, 1, 0}, 3.14159265f));
    back.updateMatrices();
    Object* box = makeObject({nullptr});
    ObjectInstance* ahead = place(box, {0, 0, 10});
    ObjectInstance* behind = place(box, {0, 0, -10});
    updateVisibleSets(scene());
    ASSERT_EQ(camera.visibleCount, 1u);
    EXPECT_EQ(camera.visibleObjects[0], ahead);
    ASSERT_EQ(back.visibleCount, 1u);
    EXPECT_EQ(back.visibleObjects[0], behind);
}
