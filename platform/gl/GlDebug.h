#pragma once
#include <string>

namespace Orvanta {

// GL checking for tests and debugging. Release runs of the demo leave it off, as the engine does
// no run-time GL checks; tests, the render tool's --debug flag and ORVANTA_GL_DEBUG builds turn
// it on, and then every GL error and every shader compile or link failure is logged.
void setGlDebug(bool enabled);
bool glDebugEnabled();

// With checking on: logs each pending GL error as "GL error 0x.... after <where>" and returns the
// number found. With checking off: returns 0 without touching GL.
int checkGlErrors(const char* where);
// Total GL errors reported through checkGlErrors since start (tests assert on it).
int glErrorTotal();

}  // namespace Orvanta
