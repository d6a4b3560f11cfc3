#include "gpu/ResourceCache.h"

namespace Orvanta {

ResourceCache& resourceCache()
{
    // Never destroyed: what it lists lives until the process ends, and destroying the lists at
    // exit would only leave those resources unreachable (which leak checkers rightly report).
    static ResourceCache* cache = new ResourceCache();
    return *cache;
}

}  // namespace Orvanta
