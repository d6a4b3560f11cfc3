#include "platform/gl/GlDebug.h"

#include "platform/gl/GlExtensions.h"
#include "platform/Log.h"

#include <cstdio>

namespace Orvanta {
namespace {
#ifdef ORVANTA_GL_DEBUG_DEFAULT
bool debugEnabled = true;
#else
bool debugEnabled = false;
#endif
int errorTotal = 0;
}  // namespace

void setGlDebug(bool enabled)
{
    debugEnabled = enabled;
}

bool glDebugEnabled()
{
    return debugEnabled;
}

int checkGlErrors(const char* where)
{
    if (!debugEnabled)
        return 0;
    int found = 0;
    // A lost context reports errors forever; stop after a bounded number.
    for (GLenum error = glGetError(); error != GL_NO_ERROR && found < 16; error = glGetError()) {
        char code[16];
        std::snprintf(code, sizeof code, "0x%04X", error);
        logError(std::string("GL error ") + code + " after " + where);
        ++found;
    }
    errorTotal += found;
    return found;
}

int glErrorTotal()
{
    return errorTotal;
}

}  // namespace Orvanta
