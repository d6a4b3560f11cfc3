// The kd-tree file loader against a fixed small scene. A file it accepts is traced with a fan of
// rays through the single, packet and stream walks, which must then stay inside the tree and the
// geometry and agree: a tree that loads but breaks a walk is the failure this target looks for.
#include "content/KdTree.h"
#include "raytracing/KdTraversal.h"
#include "support/FuzzSupport.h"

namespace {

void traceFan(const Orvanta::KdTree& tree)
{
    using namespace Orvanta;
    Ray packet[kMaxPacketRays], stream[64], single[64];
    unsigned inPacket = 0;
    for (int i = 0; i < 64; ++i) {
        const float origin[3] = {-6.0f + 0.2f * float(i % 7), 3.0f, -6.0f + 0.15f * float(i % 11)};
        const float direction[3] = {1.0f, -0.4f - 0.01f * float(i), 0.9f - 0.03f * float(i)};
        Ray ray = makeRay(origin, direction);
        stream[i] = ray;
        traverse(tree, ray);
        single[i] = ray;
        if (ray.hitTriangle && (ray.hitTriangle < tree.geometry->triangles.data() ||
                                ray.hitTriangle >= tree.geometry->triangles.data() + tree.geometry->triangles.size()))
            __builtin_trap();
        packet[inPacket++] = makeRay(origin, direction);
        if (inPacket == kMaxPacketRays) {
            traversePacket(tree, packet, kMaxPacketRays);
            for (unsigned r = 0; r < kMaxPacketRays; ++r)
                if (packet[r].hitTriangle != single[i + 1 - int(kMaxPacketRays) + int(r)].hitTriangle)
                    __builtin_trap();
            inPacket = 0;
        }
    }
    traverseStream(tree, stream, 64);
    for (int i = 0; i < 64; ++i)
        if (stream[i].hitTriangle != single[i].hitTriangle || stream[i].tHit != single[i].tHit)
            __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    OrvantaFuzz::quietLog();
    OrvantaFuzz::fixedGeometry();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Orvanta::KdTree tree;
    tree.geometry = &OrvantaFuzz::fixedGeometry();
    if (tree.parseKdTree("fuzz.kdTree", OrvantaFuzz::bytesOf(data, size), OrvantaFuzz::kFixedTag))
        traceFan(tree);
    return 0;
}
