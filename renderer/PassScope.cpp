#include "renderer/PassScope.h"

#include "platform/gl/GlDebug.h"
#include "renderer/GlStateCheck.h"
#include "renderer/PassTimer.h"

namespace Orvanta {

PassScope::PassScope(PassTimer* passTimer, const char* passName, bool cpuWork) : timer(passTimer), name(passName)
{
    if (timer)
        timer->begin(name, cpuWork);
}

PassScope::~PassScope()
{
    if (timer)
        timer->end();
    if (glDebugEnabled()) {
        checkGlErrors(name);
        checkConventionState(name);
    }
}

}  // namespace Orvanta
