#include "renderer/GlStateCheck.h"

#include "platform/gl/GlDebug.h"
#include "platform/gl/GlExtensions.h"
#include "platform/Log.h"

namespace Orvanta {

namespace {
int violations = 0;

void add(std::string& list, const char* difference)
{
    if (!list.empty())
        list += ", ";
    list += difference;
}
}  // namespace

std::string conventionStateDifferences()
{
    std::string differences;
    if (!glIsEnabled(GL_DEPTH_TEST))
        add(differences, "depth test is off");
    GLint depthFunction = 0;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunction);
    if (depthFunction != GL_LEQUAL)
        add(differences, "depth function is not GL_LEQUAL");
    GLboolean depthWrites = GL_FALSE;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
    if (!depthWrites)
        add(differences, "depth writes are off");
    if (glIsEnabled(GL_BLEND))
        add(differences, "blending is on");
    if (!glIsEnabled(GL_CULL_FACE))
        add(differences, "face culling is off");
    GLint cullMode = 0;
    glGetIntegerv(GL_CULL_FACE_MODE, &cullMode);
    if (cullMode != GL_BACK)
        add(differences, "culling does not cull back faces");
    GLboolean colorWrites[4] = {GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE};
    glGetBooleanv(GL_COLOR_WRITEMASK, colorWrites);
    if (!colorWrites[0] || !colorWrites[1] || !colorWrites[2] || !colorWrites[3])
        add(differences, "colour writes are off");
    return differences;
}

bool checkConventionState(const char* pass)
{
    if (!glDebugEnabled())
        return true;
    std::string differences = conventionStateDifferences();
    if (differences.empty())
        return true;
    ++violations;
    logError(std::string(pass) + " left the GL state changed: " + differences);
    return false;
}

int conventionViolationTotal()
{
    return violations;
}

}  // namespace Orvanta
