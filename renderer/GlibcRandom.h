#pragma once
#include <array>
#include <cstdint>

namespace Orvanta {

// The sequence glibc's rand() gives after srand(seed) (its additive feedback generator over 31
// words), held in a value of the caller's instead of the process-wide state: the draws of one
// user do not move with those of another. Draws are 0 .. 2^31 - 1, as glibc's RAND_MAX.
class GlibcRandom {
public:
    explicit GlibcRandom(uint32_t seed);
    int next();
    void discard(int count);

private:
    std::array<uint32_t, 31> state{};
    int front = 3;
    int rear = 0;
};

}  // namespace Orvanta
