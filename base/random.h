// The game's one sequence of pseudo-random numbers. It is never seeded, so every run lays out
// the stars, the ship's parts and the mountains the same way; start-up draws them in that order.
#pragma once

#include <cstdint>

struct RandomSequence {
  std::uint32_t state = 1;  // starts at 1; advanced by every draw

  // The next value, 0..32767.
  int next() {
    state = state * 214013u + 2531011u;  // modulo 2^32 by unsigned wrap-around
    return static_cast<int>((state >> 16) & 0x7FFF);
  }
};

extern RandomSequence sharedRandom;  // the sequence the whole program draws from

// One draw from the shared sequence.
inline int nextRandom() { return sharedRandom.next(); }
