#include "platform/Log.h"

#include <cstdio>

namespace Orvanta {
namespace {
std::function<void(const std::string&)>& sink()
{
    static std::function<void(const std::string&)> s;
    return s;
}
int errorCount = 0;

void emit(const std::string& line)
{
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
    sink() = std::move(s);
}

int loggedErrorCount()
{
    return errorCount;
}

}  // namespace Orvanta
