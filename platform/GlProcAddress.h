#pragma once

namespace Orvanta {

using GlProcLoader = void* (*)(const char* name);

// The get-proc-address of whichever context the platform made current (SDL or EGL).
// Returns null when no context was created yet or the name is unknown to the driver.
void* glProcAddress(const char* name);
void setGlProcLoader(GlProcLoader loader);

}  // namespace Orvanta
