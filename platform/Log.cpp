#include "platform/Log.h"

#include <atomic>
#include <cstdio>
#include <mutex>

namespace Orvanta {
namespace {
std::function<void(const std::string&)>& sink()
{
    static std::function<void(const std::string&)> s;
    return s;
}
// Loading runs on more than one thread: messages never interleave and the count never loses one.
std::atomic<int> errorCount{0};
std::mutex emitting;

void emit(const std::string& line)
{
    std::lock_guard<std::mutex> lock(emitting);
    if (sink())
        sink()(line);
    else
        std::fprintf(stderr, "orvanta: %s\n", line.c_str());
}
}  // namespace

void logError(const std::string& message)
{
    ++errorCount;
    emit(message);
}

void logInfo(const std::string& message)
{
    emit(message);
}

void setLogSink(std::function<void(const std::string&)> s)
{
    std::lock_guard<std::mutex> lock(emitting);
    sink() = std::move(s);
}

int loggedErrorCount()
{
    return errorCount;
}

}  // namespace Orvanta
