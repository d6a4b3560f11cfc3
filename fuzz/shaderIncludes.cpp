// Shader include resolution over a bundle of up to 32 shader files ("0.shader" is read first and
// may include the others, itself, or anything else). Cycles, diamonds and deep chains must end
// quickly with bounded output.
#include "gpu/ShaderSource.h"
#include "support/FuzzSupport.h"

#include <cstdio>
#include <fstream>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    OrvantaFuzz::quietLog();
    // The bundle's files live in a scratch directory of this process, which becomes the working
    // directory so that includes name them as "1.shader".
    OrvantaFuzz::enterScratchDirectory("shaders");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace OrvantaFuzz;
    // Files of the previous input beyond this one's count are removed, so an include of them
    // finds nothing, as it would on disk.
    static size_t previousCount = 0;
    const std::vector<std::string> files = splitBundle(textOf(data, size));
    for (size_t i = 0; i < files.size(); ++i) {
        std::ofstream out(bundleFileName(i), std::ios::binary | std::ios::trunc);
        out << files[i];
    }
    for (size_t i = files.size(); i < previousCount; ++i)
        std::remove(bundleFileName(i).c_str());
    previousCount = files.size();
    const Orvanta::ShaderSource source = Orvanta::loadShaderSource(bundleFileName(0));
    size_t bytes = 0;
    for (const std::string& piece : source.sources)
        bytes += piece.size();
    // The expansion bound: 256 reads of files no larger than the input.
    if (source.sources.size() > 256 || bytes > 256 * (size + 1))
        __builtin_trap();
    return 0;
}
