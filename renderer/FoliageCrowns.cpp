#include "renderer/FoliageCrowns.h"

#include "content/Object.h"
#include "content/ObjectInstance.h"
#include "gpu/Material.h"
#include "gpu/SubmeshMaterial.h"

#include <algorithm>

namespace Orvanta {

std::vector<FoliageCrown> foliageCrowns(const std::vector<ObjectInstance*>& instances)
{
    std::vector<FoliageCrown> crowns;
    for (const ObjectInstance* instance : instances) {
        if (!instance || !instance->object)
            continue;
        for (const Submesh& submesh : instance->object->submeshes) {
            if (!submesh.material || !submesh.material->material || !submesh.material->material->isAlphaTested)
                continue;
            const Float3 lo = submesh.minCorner;
            const Float3 hi = submesh.maxCorner;
            if (!(lo.x <= hi.x && lo.y <= hi.y && lo.z <= hi.z))
                continue;
            Float3 worldLo{1e30f, 1e30f, 1e30f};
            Float3 worldHi{-1e30f, -1e30f, -1e30f};
            for (int corner = 0; corner < 8; ++corner) {
                const Float3 p{corner & 1 ? hi.x : lo.x, corner & 2 ? hi.y : lo.y, corner & 4 ? hi.z : lo.z};
                const Float3 w = transformPoint(instance->worldMatrix, p);
                worldLo = minComponents(worldLo, w);
                worldHi = maxComponents(worldHi, w);
            }
            // A flat submesh (one alpha-tested card, a fence panel) encloses no volume of leaves;
            // the crown test divides by the radii.
            const Float3 radii = (worldHi - worldLo) * 0.5f;
            if (!(std::min({radii.x, radii.y, radii.z}) >= MinimumCrownRadius))
                continue;
            crowns.push_back({(worldLo + worldHi) * 0.5f, radii});
        }
    }
    return crowns;
}

}  // namespace Orvanta
