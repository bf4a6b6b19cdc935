// The soak's one source of chance: splitmix64, the same sequence for a seed on every machine
// and standard library.
#pragma once

#include <cstdint>

namespace soak {

class Random {
  public:
    explicit Random(uint64_t seed) : state_(seed) {}

    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int bound) { return bound <= 0 ? 0 : int(next() % uint64_t(bound)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool percent(int chance) { return below(100) < chance; }

  private:
    uint64_t state_;
};

} // namespace soak
