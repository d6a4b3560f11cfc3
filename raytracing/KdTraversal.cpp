#include "raytracing/KdTraversal.h"

#include "raytracing/TriAccelHit.h"

namespace Orvanta {

Ray makeRay(const float origin[3], const float direction[3])
{
    Ray r;
    for (int a = 0; a < 3; ++a) {
        r.origin[a] = origin[a];
        r.direction[a] = direction[a];
        r.inverseDirection[a] = 1.0f / direction[a];
    }
    return r;
}

namespace {

struct StackEntry {
    uint32_t node;
    float tMin;
    float tMax;
};

void intersectLeaf(const KdLeaf& leaf, Ray& ray)
{
    const TriAccel* accels = leaf.accels.data();
    for (uint32_t i = 0; i < leaf.count; ++i) {
        float t, beta, gamma;
        if (intersectTriAccel(accels[i], ray.origin, ray.direction, ray.tHit, t, beta, gamma)) {
            ray.tHit = t;
            ray.hitAccel = &accels[i];
            ray.hitTriangle = leaf.triangles[i];
            ray.beta = beta;
            ray.gamma = gamma;
        }
    }
}

}  // namespace

void traverse(const KdTree& tree, Ray& ray)
{
    if (tree.nodes.empty())
        return;
    // Built and loaded trees have no path with more than kKdMaxDepth interior nodes, and each
    // interior node pushes at most once on the way down, so the stack cannot overflow.
    StackEntry stack[kKdMaxDepth];
    uint32_t size = 0;
    const KdNode* nodes = tree.nodes.data();
    uint32_t node = 0;
    for (;;) {
        while (!nodes[node].isLeaf()) {
            const KdNode& n = nodes[node];
            const uint32_t axis = n.axis();
            const float split = n.split();
            const float d = (split - ray.origin[axis]) * ray.inverseDirection[axis];
            const uint32_t left = n.leftChild();
            const bool leftNear = split >= ray.origin[axis];
            const uint32_t nearNode = leftNear ? left : left + 1;
            const uint32_t farNode = leftNear ? left + 1 : left;
            // d is NaN only for a ray running inside the split plane; the near side holds
            // everything such a ray can reach there.
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
        intersectLeaf(tree.leaves[nodes[node].leafIndex()], ray);
        if (ray.tMax >= ray.tHit || size == 0)
            return;
        const StackEntry& top = stack[--size];
        node = top.node;
        ray.tMin = top.tMin;
        ray.tMax = top.tMax;
    }
}

}  // namespace Orvanta
