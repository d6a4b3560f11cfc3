#pragma once
// The import's memory bound. Model libraries trust the counts a file declares and reserve memory
// for them before reading a byte of data, so one damaged or hostile header could take all the
// machine's memory; the import runs under an address-space limit instead and reports reaching it.
#include <cstdint>
#include <string>

namespace Orvanta {

// The address space the import may use unless --max-memory says otherwise: about a hundred times
// what the largest models of the assimp test set take, and within what a small machine can give.
inline constexpr uint64_t kDefaultImportMemoryBytes = uint64_t(4) << 30;
// --max-memory's lowest value: below it the program and its libraries would not start.
inline constexpr uint64_t kMinImportMemoryBytes = uint64_t(256) << 20;

// False in builds with AddressSanitizer, ThreadSanitizer or MemorySanitizer: their shadow memory
// reserves terabytes of address space at start, so a limit would stop them at once.
bool addressSpaceLimitApplies();

// Sets the process's address-space limit (RLIMIT_AS) to bytes (to the hard limit where that is
// lower already) and makes a failed allocation of the C++ runtime mark the limit as
// reached (memoryLimitReached) before it throws std::bad_alloc. Does nothing where
// addressSpaceLimitApplies is false. False with a message when the system refuses the limit.
bool limitAddressSpace(uint64_t bytes, std::string& error);

// True once an allocation failed under the limit.
bool memoryLimitReached();

// "4 GiB", "512 MiB": a byte count for messages, in whole GiB where it is one, else in MiB.
std::string memoryText(uint64_t bytes);

// Parses a --max-memory value: a whole number with the unit M (MiB) or G (GiB), such as "8G".
// False when it has no unit, is not a whole number, or is below kMinImportMemoryBytes or above
// 1 PiB.
bool parseMemoryAmount(const std::string& text, uint64_t& bytes);

}  // namespace Orvanta
