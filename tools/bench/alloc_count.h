// The benchmark's counting allocator: every malloc, calloc, realloc, aligned allocation and
// operator new of the process goes through it. While counting is on, the main thread's
// allocations are counted by who asked: the game's own code, GLU, or anything else (GLUT, the GL
// driver, the C++ library).
#pragma once

#include <cstdint>

struct AllocationCounts {
  std::uint64_t game = 0;    // called from the benchmark program's own code (velmo_core included)
  std::uint64_t glu = 0;     // called from inside libGLU
  std::uint64_t other = 0;   // GLUT, the GL driver, the C and C++ libraries
  std::uint64_t total() const { return game + glu + other; }
};

// Notes the calling thread as the main thread and where the game's code and GLU lie in memory.
// Call once, before counting starts.
void prepareAllocationCounting();

// Counting is on between these two; counts add up over every on-period.
void startCountingAllocations();
void stopCountingAllocations();

AllocationCounts allocationCounts();

// From now on every counted allocation also notes the game's call that led to it (slow: for
// finding them only).
void recordAllocationSites();
// Writes the `top` most frequent of those places to the file descriptor.
void printAllocationSites(int fd, int top);
