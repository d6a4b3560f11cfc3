#pragma once
#include <cstdint>

namespace Orvanta {

// Small deterministic generator (splitmix64): every generated file must be byte-identical on
// every run, so all randomness comes from explicitly seeded instances of this.
class Random {
public:
    explicit Random(uint64_t seed) : state(seed) {}

    uint64_t next()
    {
        uint64_t z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    float uniform() { return static_cast<float>(next() >> 40) * (1.0f / 16777216.0f); }
    float range(float lo, float hi) { return lo + (hi - lo) * uniform(); }
    int integer(int lo, int hiInclusive)
    {
        return lo + static_cast<int>(next() % static_cast<uint64_t>(hiInclusive - lo + 1));
    }

private:
    uint64_t state;
};

}  // namespace Orvanta
