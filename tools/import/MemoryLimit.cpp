#include "MemoryLimit.h"

#include <sys/resource.h>

#include <atomic>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>

namespace Orvanta {

namespace {

#if defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer) || __has_feature(memory_sanitizer)
#define ORVANTA_SHADOW_MEMORY 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ORVANTA_SHADOW_MEMORY 1
#endif

std::atomic<bool> limitReached{false};

// Called by operator new when an allocation fails: the limit is reached. Throwing here instead of
// returning stops the runtime from retrying the same allocation.
void onAllocationFailure()
{
    limitReached = true;
    throw std::bad_alloc();
}

constexpr uint64_t kMiB = uint64_t(1) << 20;
constexpr uint64_t kGiB = uint64_t(1) << 30;
constexpr uint64_t kMaxAmountBytes = uint64_t(1) << 50;

}  // namespace

bool addressSpaceLimitApplies()
{
#ifdef ORVANTA_SHADOW_MEMORY
    return false;
#else
    return true;
#endif
}

bool limitAddressSpace(uint64_t bytes, std::string& error)
{
    if (!addressSpaceLimitApplies())
        return true;
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) != 0) {
        error = std::string("cannot read the address-space limit (") + std::strerror(errno) + ")";
        return false;
    }
    const rlim_t wanted = rlim_t(bytes);
    limit.rlim_cur = limit.rlim_max == RLIM_INFINITY || wanted < limit.rlim_max ? wanted : limit.rlim_max;
    if (::setrlimit(RLIMIT_AS, &limit) != 0) {
        error = std::string("cannot limit the address space to ") + memoryText(bytes) + " (" + std::strerror(errno) +
                ")";
        return false;
    }
    std::set_new_handler(onAllocationFailure);
    return true;
}

bool memoryLimitReached()
{
    return limitReached;
}

std::string memoryText(uint64_t bytes)
{
    if (bytes % kGiB == 0)
        return std::to_string(bytes / kGiB) + " GiB";
    return std::to_string((bytes + kMiB - 1) / kMiB) + " MiB";
}

bool parseMemoryAmount(const std::string& text, uint64_t& bytes)
{
    if (text.size() < 2 || text.size() > 12)
        return false;
    const char unit = text.back();
    const uint64_t scale = unit == 'G' || unit == 'g' ? kGiB : unit == 'M' || unit == 'm' ? kMiB : 0;
    const std::string digits = text.substr(0, text.size() - 1);
    if (scale == 0 || digits.find_first_not_of("0123456789") != std::string::npos)
        return false;
    const uint64_t count = std::strtoull(digits.c_str(), nullptr, 10);
    if (count > kMaxAmountBytes / scale)
        return false;
    bytes = count * scale;
    return bytes >= kMinImportMemoryBytes;
}

}  // namespace Orvanta
