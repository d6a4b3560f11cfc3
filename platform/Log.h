#pragma once
#include <functional>
#include <string>

namespace Orvanta {

// The engine's one channel for problems it meets (a bad file, a failed shader, a missing entry
// point). Messages go to standard error, each on one line, prefixed "orvanta: ".
void logError(const std::string& message);
void logInfo(const std::string& message);

// Tests capture messages instead of printing them; pass an empty function to restore stderr.
void setLogSink(std::function<void(const std::string&)> sink);
// Number of errors logged since start (infos do not count).
int loggedErrorCount();

}  // namespace Orvanta
