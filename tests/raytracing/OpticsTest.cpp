#include "raytracing/Optics.h"
#include "content/RtImage.h"
#include "raytracing/HalfFloat.h"
#include "raytracing/PathSampling.h"
#include "raytracing/PixelTracing.h"
#include "raytracing/RayTracer.h"
#include "support/TracedQuads.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace Orvanta;

namespace {

Float3 atAngle(float degrees, float vertical)
{
    const float a = degrees * EnginePi / 180.0f;
    return {std::sin(a), vertical * std::cos(a), 0.0f};
}

MaterialOptics water()
{
    MaterialOptics o;
    o.reflectance = 0.02f;
    o.indexOfRefraction = 1.33f;
    o.transmissionColor = {0.9f, 0.95f, 0.95f};
    return o;
}

// The unpolarised Fresnel reflectance and transmittance of a smooth boundary from index n1 to n2,
// from the full equations.
void fresnelEquations(float n1, float n2, float cosI, float& reflected, float& transmitted)
{
    const float sinT = n1 / n2 * std::sqrt(1.0f - cosI * cosI);
    const float cosT = std::sqrt(1.0f - sinT * sinT);
    const float rs = (n1 * cosI - n2 * cosT) / (n1 * cosI + n2 * cosT);
    const float rp = (n2 * cosI - n1 * cosT) / (n2 * cosI + n1 * cosT);
    const float ts = 2.0f * n1 * cosI / (n1 * cosI + n2 * cosT);
    const float tp = 2.0f * n1 * cosI / (n2 * cosI + n1 * cosT);
    reflected = 0.5f * (rs * rs + rp * rp);
    transmitted = 0.5f * (ts * ts + tp * tp) * (n2 * cosT) / (n1 * cosI);
}

}  // namespace

// Into glass at 45 degrees the ray bends to asin(sin 45 / 1.5); out of water at 30 degrees to
// asin(1.33 sin 30); beyond the critical angle asin(1 / 1.33) = 48.75 degrees nothing leaves the
// water. A thin pane passes every ray on unchanged, even where a solid medium would reflect it.
TEST(Optics, SnellsLawTotalInternalReflectionAndThinPanes)
{
    const Float3 up{0, 1, 0}, down{0, -1, 0};
    Float3 out;
    ASSERT_TRUE(refractDirection(atAngle(45.0f, -1.0f), up, 1.0f / 1.5f, out));
    EXPECT_NEAR(out.x, std::sin(EnginePi / 4.0f) / 1.5f, 1e-5f);
    EXPECT_LT(out.y, 0.0f);
    EXPECT_NEAR(length(out), 1.0f, 1e-5f);

    MaterialOptics optics = water();
    ASSERT_TRUE(transmittedDirection(optics, atAngle(30.0f, 1.0f), down, false, out));
    EXPECT_NEAR(out.x, 1.33f * 0.5f, 1e-5f);
    EXPECT_NEAR(out.y, std::sqrt(1.0f - 0.665f * 0.665f), 1e-5f);
    EXPECT_TRUE(transmittedDirection(optics, atAngle(48.5f, 1.0f), down, false, out));
    EXPECT_FALSE(transmittedDirection(optics, atAngle(49.0f, 1.0f), down, false, out));
    // Entering, even at grazing incidence, the ray always gets in, no steeper than the critical angle.
    ASSERT_TRUE(transmittedDirection(optics, atAngle(89.0f, -1.0f), up, true, out));
    EXPECT_LT(out.x, 1.0f / 1.33f);

    optics.isThin = true;
    const Float3 steep = normalize(Float3{0.8f, 0.3f, -0.2f});
    ASSERT_TRUE(transmittedDirection(optics, steep, down, false, out));
    EXPECT_EQ(out.x, steep.x);
    EXPECT_EQ(out.y, steep.y);
    EXPECT_EQ(out.z, steep.z);
}

// Schlick's approximation with glass's reflectance at normal incidence, ((1.5 - 1) / (1.5 + 1))^2,
// follows the full Fresnel equations of glass within 0.04 at every angle (its known worst, near grazing), which split
// the light into reflected and transmitted parts that add up to all of it; at grazing incidence all of it is reflected.
TEST(Optics, SchlickFollowsTheFresnelEquationsThatSplitTheLightWithoutLoss)
{
    for (int degrees = 0; degrees <= 85; degrees += 5) {
        const float cosine = std::cos(float(degrees) * EnginePi / 180.0f);
        float reflected, transmitted;
        fresnelEquations(1.0f, 1.5f, cosine, reflected, transmitted);
        EXPECT_NEAR(reflected + transmitted, 1.0f, 1e-4f) << degrees;
        EXPECT_NEAR(schlickReflectance(0.04f, cosine), reflected, 0.04f) << degrees;
    }
    EXPECT_FLOAT_EQ(schlickReflectance(0.04f, 1.0f), 0.04f);
    EXPECT_FLOAT_EQ(schlickReflectance(0.04f, 0.0f), 1.0f);
}

namespace {

// A glass block in front of the camera at the origin (its front face at x = 10, facing the camera,
// its back face at x = 12), a red wall behind it at x = 20 and a green wall behind the camera at
// x = -10; glass is blue, so that a ray that stops on it shows. Only the walls are double-sided.
struct GlassBlockScene {
    RtImage red, green, blue;
    RayTracer tracer;

    explicit GlassBlockScene(bool thin)
    {
        surface.colorImage = plain(blue, {0, 0, 1});
        surface.hasMirrorPass = 1;
        surface.optics.reflectance = 0.04f;
        surface.optics.isThin = thin;
        surface.optics.transmissionColor = {1, 1, 1};
        quad({10, -10, -10}, {0, 0, 20}, {0, 20, 0});  // faces -x
        quad({12, -10, -10}, {0, 20, 0}, {0, 0, 20});  // faces +x
        surface = RtSurface();
        surface.doubleSided = 1;
        surface.colorImage = plain(red, {1, 0, 0});
        quad({20, -50, -50}, {0, 0, 100}, {0, 100, 0});
        surface.colorImage = plain(green, {0, 1, 0});
        quad({-10, -50, -50}, {0, 100, 0}, {0, 0, 100});
        tracer.kdTree.geometry = &tracer.geometry;
        tracer.kdTree.buildKdTree();
        tracer.create(4, 4, 1);
        tracer.setRegion(0, 0, 1, 1);
    }

    static RtImage* plain(RtImage& image, Float3 c)
    {
        image.levels = {RtImageLevel{1, 1, {{c.x, c.y, c.z, 1.0f}}}};
        return &image;
    }

    void quad(Float3 corner, Float3 u, Float3 v) { OrvantaTest::addTracedQuad(tracer.geometry, surface, corner, u, v); }
    RtSurface surface;
};

// The ray-input texels the ray-casting pass writes for a camera at the origin seeing the block's
// front face at (10, y, z): the origin 0.01 in front of the face, with `start` as its w, and the
// reflection and refraction directions.
struct RayInputs {
    std::vector<uint16_t> origins, reflections, refractions;
    std::vector<uint8_t> colors[2];
    std::vector<uint16_t> normals[2], positions[2];

    RayInputs(const MaterialOptics& optics, bool startPastTheFace)
    {
        const Float3 n{-1, 0, 0};
        for (int i = 0; i < 16; ++i) {
            const Float3 p{10.0f, 1.0f + 0.1f * float(i / 4), -2.0f + 0.1f * float(i % 4)};
            const Float3 d = normalize(p);
            Float3 t;
            EXPECT_TRUE(transmittedDirection(optics, d, n, true, t));
            const float start = startPastTheFace ? 0.011f / -dot(t, n) : 0.0f;
            put(origins, p + n * 0.01f, start);
            put(reflections, reflectAbout(d, n), 1.0f);
            put(refractions, t, 1.0f);
        }
        for (int k = 0; k < 2; ++k) {
            colors[k].assign(64, 0);
            normals[k].assign(64, 0);
            positions[k].assign(64, 0);
        }
    }
    static void put(std::vector<uint16_t>& a, Float3 v, float w)
    {
        for (float c : {v.x, v.y, v.z, w})
            a.push_back(narrowToHalf(c));
    }
    TraceRegion region(int k)
    {
        return {4,
                4,
                origins.data(),
                k ? refractions.data() : reflections.data(),
                colors[k].data(),
                normals[k].data(),
                positions[k].data(),
                k ? TracedRays::Refraction : TracedRays::Reflection};
    }
};

}  // namespace

// Refraction rays through a glass block see the red wall behind it, reflection rays the green wall
// in front; a refraction ray whose start (its origin's w) falls short of the face it leaves, as
// half-float rounding may leave it, still passes that face. Through a thin pane the ray goes on
// straight: it meets the red wall on the line from the camera through the pixel.
TEST(Optics, RefractionRaysSeeBehindGlassAndReflectionRaysInFront)
{
    for (bool thin : {false, true})
        for (bool startPast : {true, false}) {
            GlassBlockScene scene(thin);
            MaterialOptics optics = scene.tracer.geometry.surfaces.front().optics;
            RayInputs inputs(optics, startPast);
            const RayTracer::RayCounts counts = scene.tracer.traceRegions(inputs.region(0), inputs.region(1));
            EXPECT_EQ(counts.reflection, 16u);
            EXPECT_EQ(counts.refraction, 16u);
            for (int i = 0; i < 16; ++i) {
                const uint8_t* refracted = &inputs.colors[1][size_t(i) * 4];
                const uint8_t* reflected = &inputs.colors[0][size_t(i) * 4];
                EXPECT_EQ(refracted[0], 255) << thin << startPast << i;
                EXPECT_EQ(refracted[2], 0) << thin << startPast << i;
                EXPECT_EQ(reflected[1], 255) << i;
                EXPECT_EQ(inputs.positions[1][size_t(i) * 4 + 3], 0);  // a hit
                const float x = widenHalf(inputs.positions[1][size_t(i) * 4]);
                const float z = widenHalf(inputs.positions[1][size_t(i) * 4 + 2]);
                EXPECT_NEAR(x, 20.0f, 0.02f);
                if (thin)
                    EXPECT_NEAR(z, 2.0f * (-2.0f + 0.1f * float(i % 4)), 0.03f) << i;
                else
                    EXPECT_GT(z, 2.0f * (-2.0f + 0.1f * float(i % 4)) + 0.1f) << i;  // bent towards the normal
            }
        }
}
