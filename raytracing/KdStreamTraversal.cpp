#include "raytracing/KdTraversal.h"

#include "raytracing/KdWalkParts.h"

#include <algorithm>

#if defined(__x86_64__)
#include "raytracing/StreamWalk.h"
#include "scene/SimdLanes.h"
#endif

namespace Orvanta {

#if defined(__x86_64__)

void traverseStream(const KdTree& tree, Ray* rays, size_t count)
{
    traverseStream(tree, rays, count, packetWidth());
}

void traverseStream(const KdTree& tree, Ray* rays, size_t count, unsigned width)
{
    if (tree.nodes.empty())
        return;
    width = std::min(width, packetWidth());
    if (width >= 16)
        KdWalk::traceStreamAvx512(tree, rays, count);
    else if (width >= 8)
        KdWalk::traceStreamAvx2(tree, rays, count);
    else
        KdWalk::walkStream<Lanes4>(tree, rays, count);
}

#else

void traverseStream(const KdTree& tree, Ray* rays, size_t count, unsigned)
{
    for (size_t i = 0; i < count; ++i)
        traverse(tree, rays[i]);
}

void traverseStream(const KdTree& tree, Ray* rays, size_t count)
{
    traverseStream(tree, rays, count, 1);
}

#endif

}  // namespace Orvanta
