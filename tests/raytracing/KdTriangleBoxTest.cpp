#include "content/KdTriangleBox.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace Orvanta;

namespace {

struct Case {
    Float3 v[3];
    Float3 boxMin, boxMax;
};

bool written(const Case& c)
{
    const TriAccel accel = computeTriAccel(c.v[0], c.v[1], c.v[2], 0);
    return triangleOverlapsBox(c.boxMin, c.boxMax, c.v, accel);
}

bool prepared(const Case& c)
{
    const TriAccel accel = computeTriAccel(c.v[0], c.v[1], c.v[2], 0);
    return triangleOverlapsBox(c.boxMin, c.boxMax, prepareTriangleBoxEdges(c.v, accel), accel);
}

}  // namespace

TEST(KdTriangleBox, ExactTestFindsEachKindOfOverlap)
{
    const Float3 lo{0, 0, 0}, hi{1, 1, 1};
    // A vertex on the box's face counts (inclusive).
    const Case touching{{{1, 0.5f, 0.5f}, {2, 0.5f, 0.5f}, {2, 0.7f, 0.5f}}, lo, hi};
    // An edge through the box, every vertex outside.
    const Case edgeThrough{{{-1, 0.5f, 0.5f}, {2, 0.5f, 0.5f}, {2, 3.0f, 0.5f}}, lo, hi};
    // A large triangle cutting the box: only the box's edges cross it.
    const Case boxEdges{{{-5, -5, 0.5f}, {10, -5, 0.5f}, {-5, 10, 0.5f}}, lo, hi};
    // The same plane, the triangle beside the box.
    const Case beside{{{2, 2, 0.5f}, {5, 2, 0.5f}, {2, 5, 0.5f}}, lo, hi};
    // A triangle without area along a line through the box: its edges find it.
    const Case lineThrough{{{-1, 0.5f, 0.5f}, {3, 0.5f, 0.5f}, {2, 0.5f, 0.5f}}, lo, hi};
    // Without area and beside the box: no box edge may report it through its meaningless plane.
    const Case lineBeside{{{-1, 2, 0.5f}, {0.5f, 2, 0.5f}, {2, 2, 0.5f}}, lo, hi};
    // A box without thickness (a face shared by two children) that the triangle's plane cuts.
    const Case flatBox{{{-5, -5, 0}, {10, -5, 1}, {-5, 10, 1}}, {0, 0, 0.7f}, {1, 1, 0.7f}};
    // Planes through one box corner only, met at a box edge's start (distance 0) and at its end
    // (distance = length): both count.
    const Case cornerAtStart{{{-5, -5, 10}, {10, -5, -5}, {-5, 10, -5}}, lo, hi};
    const Case cornerAtEnd{{{-4, -4, 11}, {11, -4, -4}, {-4, 11, -4}}, lo, hi};
    for (bool (*test)(const Case&) : {written, prepared}) {
        EXPECT_TRUE(test(touching));
        EXPECT_TRUE(test(edgeThrough));
        EXPECT_TRUE(test(boxEdges));
        EXPECT_FALSE(test(beside));
        EXPECT_TRUE(test(lineThrough));
        EXPECT_FALSE(test(lineBeside));
        EXPECT_TRUE(test(flatBox));
        EXPECT_TRUE(test(cornerAtStart));
        EXPECT_TRUE(test(cornerAtEnd));
    }
}

TEST(KdTriangleBox, PreparedTestAnswersAsTheWrittenOne)
{
    // Random triangles of every shape around boxes of every shape, many of them grazing: faces
    // and vertices on shared coordinates, axis-parallel edges, boxes without thickness, zero-area
    // triangles, far from the origin. The lane-wise test must agree on every one.
    std::mt19937 rng(77);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::uniform_int_distribution<int> kind(0, 7);
    int agree = 0, overlapping = 0, apart = 0;
    for (float offset : {0.0f, 41.7f, -2500.0f}) {
        for (int i = 0; i < 30000; ++i) {
            Case c;
            auto coordinate = [&] {
                // Often exactly on one of a few shared values, so faces and vertices meet.
                const float grid = std::floor(unit(rng) * 5.0f) * 0.5f;
                return offset + (unit(rng) < 0.3f ? grid : unit(rng) * 2.5f);
            };
            for (Float3& p : c.v)
                p = {coordinate(), coordinate(), coordinate()};
            switch (kind(rng)) {
            case 0:  // flat in y
                c.v[1].y = c.v[2].y = c.v[0].y;
                break;
            case 1:  // an edge parallel to x
                c.v[1].y = c.v[0].y;
                c.v[1].z = c.v[0].z;
                break;
            case 2:  // a repeated vertex
                c.v[2] = c.v[0];
                break;
            case 3:  // collinear
                c.v[2] = {2 * c.v[1].x - c.v[0].x, 2 * c.v[1].y - c.v[0].y, 2 * c.v[1].z - c.v[0].z};
                break;
            case 4:  // large, around the box
                for (Float3& p : c.v)
                    p = {offset + (unit(rng) - 0.5f) * 20.0f, offset + (unit(rng) - 0.5f) * 20.0f,
                         offset + (unit(rng) - 0.5f) * 20.0f};
                break;
            default:
                break;
            }
            c.boxMin = {coordinate(), coordinate(), coordinate()};
            c.boxMax = {c.boxMin.x + 2.0f * unit(rng), c.boxMin.y + 2.0f * unit(rng), c.boxMin.z + 2.0f * unit(rng)};
            if (i % 5 == 0)
                c.boxMax.y = c.boxMin.y;  // no thickness
            const bool expected = written(c);
            ASSERT_EQ(prepared(c), expected) << "offset " << offset << " case " << i;
            ++agree;
            (expected ? overlapping : apart)++;
        }
    }
    EXPECT_EQ(agree, 90000);
    EXPECT_GT(overlapping, 10000);
    EXPECT_GT(apart, 10000);
}
