// The sound cues' wave files are read whole, within a bound, and examined before the sound
// library sees them: it allocates what a wave's chunks announce and converts the samples to the
// device's rate, so a header or a rate may not make it take much memory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

inline constexpr std::size_t maxCueFileBytes = std::size_t{1} << 20;  // the game's own are under 70 KB
// Below this the conversion to the device's rate (44.1 kHz) would multiply the samples more than
// about five and a half times.
inline constexpr std::uint32_t minCueSampleRate = 8000;

// Why a wave file image cannot be a cue (a chunk longer than the file, a rate below the
// minimum), or nullptr when it may go to the sound library.
const char* cueFileFault(std::span<const std::byte> wave);

enum class CueFile {
  ok,       // `bytes` holds the file
  missing,  // it cannot be opened
  refused,  // said on standard error: the cue stays silent
};

// Reads a cue's wave file from the working directory, at most maxCueFileBytes, and examines it.
CueFile readCueFile(const char* name, std::vector<std::byte>& bytes);
