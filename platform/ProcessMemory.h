#pragma once
#include <cstdint>

namespace Orvanta {

// The resident memory of this process in bytes (from /proc/self/statm), or 0 where it cannot be
// read. Soak runs compare it across thousands of frames to find growth.
uint64_t residentBytes();

}  // namespace Orvanta
