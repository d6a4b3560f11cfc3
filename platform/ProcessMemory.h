#pragma once
#include <cstdint>

namespace Orvanta {

// The resident memory of this process in bytes (from /proc/self/statm), or 0 where it cannot be
// read. Soak runs compare it across thousands of frames to find growth.
uint64_t residentBytes();

// Hands the whole free pages of every malloc arena back to the system (glibc's malloc_trim), so
// that a following residentBytes() counts memory in use rather than what the allocator keeps for
// reuse. The allocator returns the free top of its heap only while nothing is allocated above it:
// a transient of several megabytes freed every frame (the software rasterizer's per-frame binning
// data) stays resident or not depending on where the frame's last small allocation landed, so two
// samples of an unchanged program can differ by the whole transient.
void releaseFreeHeapPages();

}  // namespace Orvanta
