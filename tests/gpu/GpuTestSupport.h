#pragma once
#include "platform/Log.h"

#include <fstream>
#include <string>
#include <vector>

namespace OrvantaTest {

inline std::string writeTextFile(const std::string& dir, const std::string& name, const std::string& text)
{
    std::string path = dir + "/" + name;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

inline std::string writeBinaryFile(const std::string& dir, const std::string& name, const std::vector<uint8_t>& bytes)
{
    std::string path = dir + "/" + name;
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path;
}

// Collects logged messages for the lifetime of the object.
class LogCapture {
public:
    LogCapture()
    {
        Orvanta::setLogSink([this](const std::string& message) { messages.push_back(message); });
    }
    ~LogCapture() { Orvanta::setLogSink({}); }
    bool contains(const std::string& part) const
    {
        for (const std::string& message : messages)
            if (message.find(part) != std::string::npos)
                return true;
        return false;
    }
    std::vector<std::string> messages;
};

}  // namespace OrvantaTest
