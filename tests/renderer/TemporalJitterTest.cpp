// The temporal anti-aliasing's camera math, against direct projections of world points: the
// jittered projection moves every depth by the offset in pixels, the jittered view rays reach the
// points the jittered projection shows, and the resolve's reprojection matrix takes a pixel and its
// eye depth to where the previous camera saw the same point.
#include "renderer/TemporalJitter.h"
#include "renderer/TemporalResolvePass.h"
#include "scene/Camera.h"

#include <gtest/gtest.h>

using namespace Orvanta;

namespace {

constexpr int width = 320;
constexpr int height = 180;

struct Clip {
    float x, y, z, w;
};

Clip apply(const Matrix4& m, Clip v)
{
    auto row = [&](int r) { return m[r] * v.x + m[4 + r] * v.y + m[8 + r] * v.z + m[12 + r] * v.w; };
    return {row(0), row(1), row(2), row(3)};
}

// Pixel coordinates (x right, y up, 0 at the lower-left corner) of a homogeneous clip point.
std::pair<double, double> pixelOf(Clip c)
{
    return {(c.x / c.w + 1.0) * 0.5 * width, (c.y / c.w + 1.0) * 0.5 * height};
}

Camera cameraAt(Float3 position, Quaternion orientation)
{
    Camera camera;
    camera.aspectRatio = static_cast<float>(width) / static_cast<float>(height);
    camera.nearDistance = 0.1f;
    camera.farDistance = 1000.0f;
    camera.setPosition(position);
    camera.setOrientation(normalize(orientation));
    camera.updateMatrices();
    return camera;
}

const Float3 worldPoints[] = {{1.0f, 2.0f, 4.0f}, {-3.0f, 1.0f, 9.0f}, {0.5f, -1.0f, 40.0f}, {20.0f, 5.0f, 300.0f}};

}  // namespace

TEST(TemporalJitter, OffsetsStayInsideThePixelAndAverageToItsCentre)
{
    double sumX = 0.0, sumY = 0.0;
    for (uint32_t frame = 0; frame < TemporalJitterPeriod; ++frame) {
        const PixelOffset a = temporalJitter(frame);
        sumX += a.x;
        sumY += a.y;
        const PixelOffset b = temporalJitter(frame + TemporalJitterPeriod);
        EXPECT_EQ(a.x, b.x);
        EXPECT_EQ(a.y, b.y);
        EXPECT_GT(a.x, -0.5f);
        EXPECT_LT(a.x, 0.5f);
        EXPECT_GT(a.y, -0.5f);
        EXPECT_LT(a.y, 0.5f);
    }
    EXPECT_NEAR(sumX, 0.0, 1e-5);
    EXPECT_NEAR(sumY, 0.0, 1e-5);
    // Points 1, 4 and 16 of the sequence, (1/2, 1/3), (1/8, 4/9) and (1/32, 16/27), less the mean
    // of the 16 written out (in base 2 the fifteen sixteenths 1..15 and 1/32).
    double meanY = 0.0;
    for (double y : {1.0 / 3, 2.0 / 3, 1.0 / 9, 4.0 / 9, 7.0 / 9, 2.0 / 9, 5.0 / 9, 8.0 / 9, 1.0 / 27, 10.0 / 27,
                     19.0 / 27, 4.0 / 27, 13.0 / 27, 22.0 / 27, 7.0 / 27, 16.0 / 27})
        meanY += y / 16.0;
    const double meanX = (120.0 / 16.0 + 1.0 / 32.0) / 16.0;
    EXPECT_NEAR(temporalJitter(0).x, 0.5 - meanX, 1e-6);
    EXPECT_NEAR(temporalJitter(0).y, 1.0 / 3.0 - meanY, 1e-6);
    EXPECT_NEAR(temporalJitter(3).x, 1.0 / 8.0 - meanX, 1e-6);
    EXPECT_NEAR(temporalJitter(3).y, 4.0 / 9.0 - meanY, 1e-6);
    EXPECT_NEAR(temporalJitter(15).x, 1.0 / 32.0 - meanX, 1e-6);
}

TEST(TemporalJitter, ProjectionMovesEveryDepthByTheOffsetInPixels)
{
    const Camera camera = cameraAt({2.0f, 3.0f, -5.0f}, {0.05f, 0.1f, 0.0f, 1.0f});
    const PixelOffset offset{0.3125f, -0.2222f};
    const Matrix4 moved = multiply(jitteredProjection(camera.projectionMatrix, offset, width, height),
                                   camera.viewMatrix);
    for (Float3 p : worldPoints) {
        const auto [x0, y0] = pixelOf(apply(camera.viewProjectionMatrix, {p.x, p.y, p.z, 1.0f}));
        const auto [x1, y1] = pixelOf(apply(moved, {p.x, p.y, p.z, 1.0f}));
        EXPECT_NEAR(x1 - x0, offset.x, 2e-3);
        EXPECT_NEAR(y1 - y0, offset.y, 2e-3);
    }
}

TEST(TemporalJitter, ViewRaysReachThePointsTheJitteredProjectionShows)
{
    const Camera camera = cameraAt({-4.0f, 1.5f, 2.0f}, {-0.1f, 0.3f, 0.02f, 0.95f});
    const PixelOffset offset{-0.4375f, 0.1481f};
    const Matrix4 moved = multiply(jitteredProjection(camera.projectionMatrix, offset, width, height),
                                   camera.viewMatrix);
    const FrustumVectors rays = jitteredFrustumVectors(unitDepthFrustumVectors(camera), offset, width, height);
    // The lighting passes find a pixel's surface at camera + depth * ray(uv), the ray blended
    // bilinearly from the corners; that point must project back to the pixel's centre.
    for (auto [px, py] : {std::pair{0.5, 0.5}, std::pair{160.5, 90.5}, std::pair{300.5, 17.5}}) {
        const float u = static_cast<float>(px / width);
        const float v = static_cast<float>(py / height);
        const Float3 bottom = rays.bottomLeft * (1.0f - u) + rays.bottomRight * u;
        const Float3 top = rays.topLeft * (1.0f - u) + rays.topRight * u;
        const Float3 ray = bottom * (1.0f - v) + top * v;
        for (float depth : {0.5f, 7.0f, 120.0f}) {
            const Float3 p = camera.position + ray * depth;
            const auto [x, y] = pixelOf(apply(moved, {p.x, p.y, p.z, 1.0f}));
            EXPECT_NEAR(x, px, 2e-2) << "depth " << depth;
            EXPECT_NEAR(y, py, 2e-2) << "depth " << depth;
        }
    }
}

TEST(TemporalReprojection, TakesAPixelAndItsDepthToThePreviousCamerasView)
{
    const Camera previous = cameraAt({0.0f, 2.0f, -6.0f}, {0.0f, 0.08f, 0.0f, 1.0f});
    const Camera current = cameraAt({0.6f, 2.2f, -5.1f}, {0.03f, 0.15f, 0.01f, 1.0f});
    const Matrix4 reprojection = temporalReprojection(current, previous.viewProjectionMatrix);
    for (Float3 p : worldPoints) {
        // The pixel and eye depth the current camera gives the point (w is the eye depth).
        const Clip now = apply(current.viewProjectionMatrix, {p.x, p.y, p.z, 1.0f});
        const float z = now.w;
        // Device x times the eye depth is the clip x.
        const Clip back = apply(reprojection, {now.x, now.y, z, 1.0f});
        const auto [x, y] = pixelOf(back);
        const auto [ex, ey] = pixelOf(apply(previous.viewProjectionMatrix, {p.x, p.y, p.z, 1.0f}));
        EXPECT_NEAR(x, ex, 0.02);
        EXPECT_NEAR(y, ey, 0.02);
    }
    // A direction at infinity (the sky): (x, y, 1, 0) from its device coordinates.
    const Float3 d = normalize(Float3{0.2f, 0.3f, 1.0f});
    const Clip now = apply(current.viewProjectionMatrix, {d.x, d.y, d.z, 0.0f});
    const auto [x, y] = pixelOf(apply(reprojection, {now.x / now.w, now.y / now.w, 1.0f, 0.0f}));
    const auto [ex, ey] = pixelOf(apply(previous.viewProjectionMatrix, {d.x, d.y, d.z, 0.0f}));
    EXPECT_NEAR(x, ex, 0.02);
    EXPECT_NEAR(y, ey, 0.02);
}
