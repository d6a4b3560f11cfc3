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
            Float3 worldLo, worldHi;
            transformBox(instance->worldMatrix, lo, hi, worldLo, worldHi);
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
