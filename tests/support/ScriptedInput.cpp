#include "support/ScriptedInput.h"

namespace Orvanta {

void ScriptedInput::setKeyDown(Key key, bool isDown)
{
    int i = static_cast<int>(key);
    if (isDown && !down[i])
        latched[i] = true;
    down[i] = isDown;
}

void ScriptedInput::tapKey(Key key)
{
    latched[static_cast<int>(key)] = true;
}

bool ScriptedInput::queryKey(Key key)
{
    int i = static_cast<int>(key);
    ++queries[i];
    bool result = down[i] || latched[i];
    latched[i] = false;
    return result;
}

}  // namespace Orvanta
