#pragma once
#include <string>
#include <utility>
#include <vector>

namespace Orvanta {

// (GLSL variable name, semantic name) as written in a "semantics" block.
using SemanticPair = std::pair<std::string, std::string>;

// One shader file read with its includes.
struct ShaderSource {
    std::string path;                     // the file read (for messages)
    std::vector<std::string> sources;     // included pieces in order, then this file's code
    std::string code;                     // this file's own "code" value
    std::vector<SemanticPair> semantics;  // own and included pairs, in the order they stand
};

// Reads a shader file and, recursively, its includes (no GL). Each problem is reported with one
// message naming the file: a file that cannot be read or is not a "shader" block contributes no
// code; an include already being read higher up the chain, or whose ".." steps leave the content
// folders (platform/FileAccess.h), is refused; text that does not parse cleanly is used up to the
// problem. Includes nested deeper than 16 files, expanding to more than 256 file reads or to more
// than 4 MiB of code leave the whole source without code (a diamond of files each including the
// next twice expands exponentially without any cycle).
ShaderSource loadShaderSource(const std::string& path);

}  // namespace Orvanta
