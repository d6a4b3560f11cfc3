#pragma once
#include "platform/FileAccess.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace Orvanta {

// Reads little-endian records from an in-memory copy of a file without ever reading past its end.
// Every read reports failure instead; once a read failed, all later reads fail too.
class BinaryReader {
public:
    explicit BinaryReader(std::vector<uint8_t> bytes) : data(std::move(bytes)) {}

    bool ok() const { return good; }
    size_t remaining() const { return data.size() - offset; }
    bool atEnd() const { return offset == data.size(); }
    size_t position() const { return offset; }

    bool readBytes(void* out, size_t count)
    {
        if (!good || count > remaining())
            return good = false;
        if (count)
            std::memcpy(out, data.data() + offset, count);
        offset += count;
        return true;
    }
    bool skip(size_t count)
    {
        if (!good || count > remaining())
            return good = false;
        offset += count;
        return true;
    }
    bool readU32(uint32_t& value) { return readBytes(&value, 4); }
    bool readF32(float& value) { return readBytes(&value, 4); }
    bool readFloats(float* values, size_t count) { return readBytes(values, count * 4); }
    // A byte string ended by one zero byte; fails when the file ends before the zero byte.
    bool readCString(std::string& value)
    {
        if (!good || atEnd())
            return good = false;
        const void* end = std::memchr(data.data() + offset, 0, remaining());
        if (!end)
            return good = false;
        size_t n = static_cast<const uint8_t*>(end) - (data.data() + offset);
        value.assign(reinterpret_cast<const char*>(data.data() + offset), n);
        offset += n + 1;
        return true;
    }

private:
    std::vector<uint8_t> data;
    size_t offset = 0;
    bool good = true;
};

// Collects a file's bytes in memory; the file is written in one go by writeFileAtomically.
class BinaryWriter {
public:
    void writeBytes(const void* bytes, size_t count)
    {
        const uint8_t* p = static_cast<const uint8_t*>(bytes);
        data.insert(data.end(), p, p + count);
    }
    void writeU32(uint32_t value) { writeBytes(&value, 4); }
    void writeF32(float value) { writeBytes(&value, 4); }
    void writeFloats(const float* values, size_t count) { writeBytes(values, count * 4); }
    void writeCString(const std::string& value) { writeBytes(value.c_str(), value.size() + 1); }
    const std::vector<uint8_t>& bytes() const { return data; }

private:
    std::vector<uint8_t> data;
};

// Whole-file read of a regular file (readRegularFile); false with a message naming the path when
// the file cannot be read. Files are written with writeFileAtomically (platform/FileAccess.h).
bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);

}  // namespace Orvanta
