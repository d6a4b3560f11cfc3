#include "KdTestScenes.h"

#include "raytracing/TriAccelHit.h"

#include <algorithm>
#include <fstream>
#include <iterator>

using namespace Orvanta;

namespace OrvantaTest {

void TestScene::add(Float3 a, Float3 b, Float3 c, bool doubleSided)
{
    RtSurface surface;
    surface.doubleSided = uint8_t(doubleSided ? 1 : 0);
    geometry.surfaces.push_back(surface);
    const uint32_t base = uint32_t(geometry.vertices.size());
    for (const Float3& p : {a, b, c}) {
        RtVertex v;
        v.position = p;
        geometry.vertices.push_back(v);
    }
    RtTriangle t;
    t.index0 = base;
    t.index1 = base + 1;
    t.index2 = base + 2;
    t.surface = &geometry.surfaces.back();
    t.boxMin = {std::min({a.x, b.x, c.x}), std::min({a.y, b.y, c.y}), std::min({a.z, b.z, c.z})};
    t.boxMax = {std::max({a.x, b.x, c.x}), std::max({a.y, b.y, c.y}), std::max({a.z, b.z, c.z})};
    geometry.triangles.push_back(t);
}

TestScene randomScene(uint32_t seed, int triangleCount, float extent)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> pos(0.0f, extent), small(-0.8f, 0.8f);
    std::uniform_int_distribution<int> kind(0, 9);
    // Positions a split search starting at 0 reaches exactly.
    std::vector<float> steps;
    for (float c = 0.0f; c < extent; c += 0.1f)
        steps.push_back(c);
    std::uniform_int_distribution<size_t> step(0, steps.size() - 1);
    TestScene s;
    s.add({0, 0, 0}, {0.05f, 0, 0}, {0, 0.05f, 0});  // pins the scene minimum at the origin
    for (int i = 1; i < triangleCount; ++i) {
        const Float3 a{pos(rng), pos(rng), pos(rng)};
        Float3 b{a.x + small(rng), a.y + small(rng), a.z + small(rng)};
        Float3 c{a.x + small(rng), a.y + small(rng), a.z + small(rng)};
        const bool twoSided = (rng() & 1) != 0;
        switch (kind(rng)) {
        case 0:
        case 1: {  // a wall on a candidate position
            const float w = steps[step(rng)];
            const int axis = int(rng() % 3);
            Float3* vs[3] = {nullptr, &b, &c};
            Float3 a2 = a;
            vs[0] = &a2;
            for (Float3* v : vs)
                (axis == 0 ? v->x : axis == 1 ? v->y : v->z) = w;
            s.add(a2, b, c, twoSided);
            break;
        }
        case 2:  // flat in z at an arbitrary height
            b.z = c.z = a.z;
            s.add(a, b, c, twoSided);
            break;
        case 3:  // a repeated vertex
            s.add(a, a, c, twoSided);
            break;
        case 4:  // collinear
            s.add(a, b, Float3{2 * b.x - a.x, 2 * b.y - a.y, 2 * b.z - a.z}, twoSided);
            break;
        default:
            s.add(a, b, c, twoSided);
        }
    }
    return s;
}

KdSplitChoice literalSplit(const KdNodeBox& box, const std::vector<uint32_t>& list,
                           const std::vector<RtTriangle>& triangles)
{
    KdSplitChoice best;
    float bestCost = 0.0f;
    for (uint32_t axis = 0; axis < 3; ++axis) {
        for (float c = axisOf(box.boxMin, axis); axisOf(box.boxMax, axis) > c;) {
            KdNodeBox left = box, right = box;
            axisOf(left.boxMax, axis) = c;
            axisOf(right.boxMin, axis) = c;
            uint32_t nl = 0, nr = 0;
            for (uint32_t index : list) {
                const RtTriangle& t = triangles[index];
                bool inLeft = true, inRight = true;
                for (uint32_t a = 0; a < 3; ++a) {
                    inLeft = inLeft && intervalsOverlap(axisOf(left.boxMin, a), axisOf(left.boxMax, a),
                                                        axisOf(t.boxMin, a), axisOf(t.boxMax, a));
                    inRight = inRight && intervalsOverlap(axisOf(right.boxMin, a), axisOf(right.boxMax, a),
                                                          axisOf(t.boxMin, a), axisOf(t.boxMax, a));
                }
                nl += inLeft;
                nr += inRight;
            }
            const float cost = splitCost(box, axis, c, nl, nr);
            if (!best.found || cost < bestCost) {
                best = {true, axis, c};
                bestCost = cost;
            }
            const float next = c + kKdCandidateStep;
            if (!(next > c))
                break;
            c = next;
        }
    }
    return best;
}

void buildLiteralKdTree(KdTree& tree)
{
    buildKdTreeWith(tree, literalSplit);
}

void literalTraverse(const KdTree& tree, Ray& ray, LiteralWalkCounts* counts)
{
    LiteralWalkCounts unused;
    LiteralWalkCounts& c = counts ? *counts : unused;
    struct Entry {
        uint32_t node;
        float tMin, tMax;
    } stack[kKdDeepestTree];
    uint32_t size = 0, node = 0;
    for (;;) {
        while (!tree.nodes[node].isLeaf()) {
            ++c.interiorSteps;
            const KdTraceNode& n = tree.nodes[node];
            const uint32_t axis = n.axis(), left = n.leftChild();
            const float d = (n.split() - ray.origin[axis]) * ray.inverseDirection[axis];
            const uint32_t nearNode = n.split() >= ray.origin[axis] ? left : left + 1;
            const uint32_t farNode = nearNode == left ? left + 1 : left;
            // A NaN distance (a ray inside the split plane) takes the near side.
            if (!(d <= ray.tMax) || d <= 0.0f) {
                node = nearNode;
            } else if (d < ray.tMin) {
                node = farNode;
            } else {
                stack[size++] = {farNode, d, ray.tMax};
                ray.tMax = d;
                node = nearNode;
            }
        }
        // Every leaf reached is entered, empty or not (the engine's walks skip empty ones).
        const KdLeaf leaf = KdTree::leafOf(tree.nodes[node]);
        ++(leaf.count ? c.leaves : c.emptyLeaves);
        c.triangleTests += leaf.count;
        for (uint32_t i = 0; i < leaf.count; ++i) {
            float t, beta, gamma;
            const CompactTriAccel& a = tree.leafAccel(leaf, i);
            if (intersectTriAccel(a, ray.origin, ray.direction, ray.tHit, t, beta, gamma)) {
                ray.tHit = t;
                ray.hitAccel = &a;
                ray.hitTriangle = &tree.geometry->triangles[tree.leafTriangle(leaf, i)];
                ray.beta = beta;
                ray.gamma = gamma;
            }
        }
        if (ray.tMax >= ray.tHit || size == 0)
            return;
        const Entry& top = stack[--size];
        node = top.node;
        ray.tMin = top.tMin;
        ray.tMax = top.tMax;
    }
}

float bruteForce(const RayTracingGeometry& g, const Ray& ray, const RtTriangle** hit)
{
    float best = kRayNoHit;
    *hit = nullptr;
    for (const RtTriangle& t : g.triangles) {
        const CompactTriAccel accel = compactTriAccel(
            computeTriAccel(g.vertices[t.index0].position, g.vertices[t.index1].position, g.vertices[t.index2].position,
                            t.surface->doubleSided));
        float d, b, c;
        if (intersectTriAccel(accel, ray.origin, ray.direction, best, d, b, c)) {
            best = d;
            *hit = &t;
        }
    }
    return best;
}

KdTree built(const TestScene& scene, KdBuildRule rule)
{
    KdTree tree;
    tree.geometry = &scene.geometry;
    tree.rule = rule;
    tree.buildKdTree();
    return tree;
}

std::vector<uint8_t> savedBytes(const KdTree& tree, const std::string& path)
{
    if (!tree.saveKdTree(path, "test"))
        return {};
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace OrvantaTest
