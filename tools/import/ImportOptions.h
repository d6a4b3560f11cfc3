#pragma once
#include "MemoryLimit.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Orvanta {

// Command line of the import tool.
struct ImportOptions {
    std::string modelPath;
    std::string outputDir;
    std::string name;  // empty: the model file's stem
    float scale = 1.0f;
    char upAxis = 'y';
    std::string engineRoot = ".";
    uint64_t maxMemoryBytes = kDefaultImportMemoryBytes;  // the address space the import may use
};

// Parses the arguments after the program name. False with a message naming the bad argument.
bool parseImportOptions(const std::vector<std::string>& arguments, ImportOptions& options, std::string& error);
const char* importUsage();

}  // namespace Orvanta
