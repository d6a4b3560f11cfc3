#include "gpu/ResourceCache.h"

namespace Orvanta {

ResourceCache& resourceCache()
{
    static ResourceCache cache;
    return cache;
}

}  // namespace Orvanta
