// The sound cues the data tool writes: well-formed 16-bit PCM that is loud enough to hear, never
// clips for long, and starts and ends at silence, so neither cue clicks when it starts or stops.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace {

std::uint32_t le32(const std::vector<std::byte>& b, std::size_t at) {
  return std::to_integer<std::uint32_t>(b[at]) | std::to_integer<std::uint32_t>(b[at + 1]) << 8 |
         std::to_integer<std::uint32_t>(b[at + 2]) << 16 | std::to_integer<std::uint32_t>(b[at + 3]) << 24;
}

std::vector<int> samplesOf(const std::vector<std::byte>& b) {
  std::vector<int> samples;
  for (std::size_t at = 44; at + 1 < b.size(); at += 2)
    samples.push_back(static_cast<std::int16_t>(std::to_integer<std::uint16_t>(b[at]) |
                                                std::to_integer<std::uint16_t>(b[at + 1]) << 8));
  return samples;
}

}  // namespace

TEST(SoundData, EachCueIsAudibleAndStartsAndEndsInSilence) {
  const struct {
    const char* file;
    double shortestSeconds, longestSeconds;
  } cues[] = {{"collect.wav", 0.1, 1.0}, {"blast.wav", 0.5, 3.0}};
  for (const auto& cue : cues) {
    const std::vector<std::byte> bytes = readBytes(std::filesystem::path(VELMO_DATA_DIR) / cue.file);
    ASSERT_GT(bytes.size(), 44u) << cue.file;
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(bytes.data()), 4), "RIFF") << cue.file;
    EXPECT_EQ(le32(bytes, 40), bytes.size() - 44) << cue.file << ": data length";
    const std::uint32_t rate = le32(bytes, 24);
    const std::vector<int> s = samplesOf(bytes);
    ASSERT_FALSE(s.empty()) << cue.file;
    const double seconds = static_cast<double>(s.size()) / rate;
    EXPECT_GE(seconds, cue.shortestSeconds) << cue.file;
    EXPECT_LE(seconds, cue.longestSeconds) << cue.file;

    int peak = 0, clippedRun = 0, longestClippedRun = 0;
    for (int v : s) {
      peak = std::max(peak, std::abs(v));
      clippedRun = std::abs(v) >= 32767 ? clippedRun + 1 : 0;
      longestClippedRun = std::max(longestClippedRun, clippedRun);
    }
    EXPECT_GT(peak, 8000) << cue.file << " is too quiet";
    EXPECT_LT(longestClippedRun, 8) << cue.file << " clips";
    // A jump from or to a sound level at the edges is heard as a click.
    EXPECT_LE(std::abs(s.front()), 64) << cue.file << " starts with a click";
    EXPECT_LE(std::abs(s.back()), 64) << cue.file << " ends with a click";
  }
}
