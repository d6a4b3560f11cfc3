#pragma once
#include "content/KdTree.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace OrvantaFuzz {

// Silences the engine's log: every rejected input would otherwise print a line, and printing
// would dominate the time of each run. Call from LLVMFuzzerInitialize.
void quietLog();

// Makes a fresh directory /tmp/orvanta-fuzz-<stem>-XXXXXX the working directory, for targets
// that pass their input through files. Aborts when it cannot.
void enterScratchDirectory(const std::string& stem);

std::vector<uint8_t> bytesOf(const uint8_t* data, size_t size);
std::string textOf(const uint8_t* data, size_t size);

// A fixed small scene (boxes and slanted quads, some triangles shared by many cells), the same in
// the fuzz target and in the seed writer, so the seed tree fits it.
const Orvanta::RayTracingGeometry& fixedGeometry();
// The tag the kd-tree target loads trees with.
inline const char* const kFixedTag = "fuzz-scene";

// Shader bundles: several shader files in one input, separated by kFileSeparator, written as
// "0.shader", "1.shader", ... into the current directory (the target works in a scratch
// directory). At most kMaxBundleFiles files.
inline const char* const kFileSeparator = "\n#file\n";
inline constexpr size_t kMaxBundleFiles = 32;
std::string bundleFileName(size_t index);
std::vector<std::string> splitBundle(const std::string& input);

}  // namespace OrvantaFuzz
