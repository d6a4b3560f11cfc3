#pragma once
#include <string>
#include <vector>

namespace Orvanta {

// orvanta-trace --reference: the reference path tracer's picture of a view (see referenceUsage).
// Returns the process exit code: 0, 1 when the scene or an output fails, 2 for a bad command line.
int runReference(const std::vector<std::string>& arguments);

}  // namespace Orvanta
