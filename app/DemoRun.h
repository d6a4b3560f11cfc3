#pragma once
#include "app/DemoOptions.h"

namespace Orvanta {

// Runs the demo as the options say and returns the process's exit code: 2 for files the options
// name that cannot be used (one message, before any window opens), 1 when the demo cannot start
// (no OpenGL context), 3 after a GL error with --debug, otherwise 0. A benchmark prints its
// statistics and writes its CSV at the end.
int runDemo(const DemoOptions& options);

}  // namespace Orvanta
