#include "content/BinaryIo.h"

namespace Orvanta {

bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error)
{
    std::string problem;
    if (readRegularFile(path, bytes, problem))
        return true;
    error = path + ": " + problem;
    return false;
}

}  // namespace Orvanta
