#pragma once
// A check of the record counts a model file's header declares against the file's size, made
// before the model library reads the file: the library reserves memory for what the header
// declares, so a header claiming billions of vertices in a file of a few hundred bytes would make
// it allocate without bound. Each record takes at least a few bytes, so the counts a file of a
// given size can hold are bounded.
#include <cstdint>
#include <string>

namespace Orvanta {

// The least bytes an OFF record can take: a vertex has at least three numbers, each at least one
// character and one separator ("0 0 0\n"); a face at least its vertex count and a separator.
inline constexpr uint64_t kMinOffVertexBytes = 6;
inline constexpr uint64_t kMinOffFaceBytes = 2;

// Checks the counts in the header of an OFF file (one with the "OFF" keyword or its variants, or
// named *.off) or a PLY file (ASCII: at least one character and a separator per property, a line
// per record; binary: the sizes of the scalar properties and of each list's count). True when the
// file is neither, when its header cannot be read far enough to tell (the library then reports
// it), or when the records fit; false with a message naming the counts and the file's size when
// they cannot fit.
bool declaredCountsFit(const std::string& path, std::string& error);

}  // namespace Orvanta
