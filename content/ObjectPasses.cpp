#include "content/ObjectPasses.h"

#include "content/Object.h"
#include "gpu/Material.h"
#include "gpu/SubmeshMaterial.h"

namespace Orvanta {

namespace {

bool anySubmeshHas(const Object& object, MaterialPass* Material::*pass)
{
    for (const Submesh& submesh : object.submeshes)
        if (submesh.material && submesh.material->material && submesh.material->material->*pass)
            return true;
    return false;
}

}  // namespace

bool objectHasSkyPass(const Object& object)
{
    return anySubmeshHas(object, &Material::skyPass);
}

bool objectHasRaycastingPass(const Object& object)
{
    return anySubmeshHas(object, &Material::raycastingPass);
}

}  // namespace Orvanta
