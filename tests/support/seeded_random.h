// The tests' one source of chance: xorshift64*, the same numbers from the same seed with any
// compiler and standard library, so that a seed names one session everywhere.
#pragma once

#include <cstdint>

class SeededRandom {
  public:
    explicit SeededRandom(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}

    uint32_t next() {
        state_ ^= state_ >> 12;
        state_ ^= state_ << 25;
        state_ ^= state_ >> 27;
        return uint32_t((state_ * 0x2545F4914F6CDD1Dull) >> 32);
    }
    int below(int bound) { return bound <= 0 ? 0 : int(next() % uint32_t(bound)); } // 0 .. bound-1
    int between(int low, int high) { return low + below(high - low + 1); }
    bool percent(int chance) { return below(100) < chance; }

  private:
    uint64_t state_;
};
