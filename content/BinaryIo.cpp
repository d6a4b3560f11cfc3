#include "content/BinaryIo.h"

#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>

namespace Orvanta {

bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error)
{
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = path + ": cannot open (" + std::strerror(errno) + ")";
        return false;
    }
    bytes.clear();
    uint8_t buffer[1 << 16];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + n);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        error = path + ": read error";
        return false;
    }
    return true;
}

bool writeFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes, std::string& error)
{
    // The temporary name is unique to this process and call, so writers racing for the same file
    // (two programs building the same kd-tree) never write into each other's half-done copy.
    static std::atomic<unsigned> serial{0};
    const std::string temporary =
        path + ".tmp" + std::to_string(long(getpid())) + "-" + std::to_string(serial.fetch_add(1));
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) {
        error = path + ": cannot write (" + std::strerror(errno) + ")";
        return false;
    }
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    bool closed = std::fclose(file) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        error = path + ": cannot write the file completely";
        return false;
    }
    return true;
}

}  // namespace Orvanta
