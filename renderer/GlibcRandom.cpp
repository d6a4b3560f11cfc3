#include "renderer/GlibcRandom.h"

#include <cstddef>

namespace Orvanta {

GlibcRandom::GlibcRandom(uint32_t seed)
{
    // Seed the 31 words with the minimal standard generator (16807 x mod 2^31 - 1, by Schrage's
    // method so that nothing overflows 32 bits), as srand does; a seed of 0 counts as 1.
    int32_t word = static_cast<int32_t>(seed == 0 ? 1 : seed);
    state[0] = static_cast<uint32_t>(word);
    for (size_t i = 1; i < state.size(); ++i) {
        const int32_t high = word / 127773;
        const int32_t low = word % 127773;
        word = 16807 * low - 2836 * high;
        if (word < 0)
            word += 2147483647;
        state[i] = static_cast<uint32_t>(word);
    }
    // srand throws the first ten rounds of the state away before the first draw.
    discard(10 * static_cast<int>(state.size()));
}

int GlibcRandom::next()
{
    const int size = static_cast<int>(state.size());
    state[static_cast<size_t>(front)] += state[static_cast<size_t>(rear)];
    // The lowest bit is the least random one; it is dropped.
    const int draw = static_cast<int>(state[static_cast<size_t>(front)] >> 1);
    front = (front + 1) % size;
    rear = (rear + 1) % size;
    return draw;
}

void GlibcRandom::discard(int count)
{
    for (int i = 0; i < count; ++i)
        next();
}

}  // namespace Orvanta
