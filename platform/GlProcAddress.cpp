#include "platform/GlProcAddress.h"

namespace Orvanta {
namespace {
GlProcLoader currentLoader = nullptr;
}

void* glProcAddress(const char* name)
{
    return currentLoader ? currentLoader(name) : nullptr;
}

void setGlProcLoader(GlProcLoader loader)
{
    currentLoader = loader;
}

}  // namespace Orvanta
