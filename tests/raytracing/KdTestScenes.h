#pragma once
#include "content/KdTreeBuild.h"
#include "raytracing/Ray.h"

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace OrvantaTest {

// Scenes with their own storage, so triangle pointers stay valid while a test runs.
struct TestScene {
    Orvanta::RayTracingGeometry geometry;

    void add(Orvanta::Float3 a, Orvanta::Float3 b, Orvanta::Float3 c, bool doubleSided = false);
};

// Random scene: ordinary triangles, flat triangles in axis planes, walls on positions reached by
// stepping 0.1 from the scene's minimum, and triangles without area.
TestScene randomScene(uint32_t seed, int triangleCount, float extent);

// The split choice evaluated literally: every candidate against every triangle of the node.
Orvanta::KdSplitChoice literalSplit(const Orvanta::KdNodeBox& box, const std::vector<uint32_t>& list,
                                    const std::vector<Orvanta::RtTriangle>& triangles);

// The whole build done literally: literalSplit for every node and the exact triangle-box test for
// every triangle of every partition.
void buildLiteralKdTree(Orvanta::KdTree& tree);

// What the literal walk did, summed over the rays it walked.
struct LiteralWalkCounts {
    uint64_t interiorSteps = 0;  // interior nodes passed on the way down
    uint64_t leaves = 0;         // leaves with triangles entered
    uint64_t emptyLeaves = 0;    // leaves without triangles entered
    uint64_t triangleTests = 0;  // ray-triangle tests
};

// The walk done literally: segment 0..100000 from the root, no clipping, one ray, the scalar leaf
// test. The engine's walks must end every ray with the same hit, distance and weights. Adds what
// it did to `counts` when given.
void literalTraverse(const Orvanta::KdTree& tree, Orvanta::Ray& ray, LiteralWalkCounts* counts = nullptr);

// Nearest hit over all triangles, without the tree: its distance (kRayNoHit without one) and the
// triangle in *hit (nullptr without one).
float bruteForce(const Orvanta::RayTracingGeometry& g, const Orvanta::Ray& ray, const Orvanta::RtTriangle** hit);

// The tree the engine's build gives for a scene by `rule`.
Orvanta::KdTree built(const TestScene& scene, Orvanta::KdBuildRule rule = Orvanta::KdBuildRule::Literal);

std::vector<uint8_t> savedBytes(const Orvanta::KdTree& tree, const std::string& path);

}  // namespace OrvantaTest
