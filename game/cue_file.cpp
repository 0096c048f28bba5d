// Reading and examining the sound cues' wave files.
#include "game/cue_file.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "base/data_file.h"

namespace {

std::uint32_t littleEndian(std::span<const std::byte> bytes, std::size_t at, std::size_t count) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < count; ++i) value |= std::to_integer<std::uint32_t>(bytes[at + i]) << (8 * i);
  return value;
}

}  // namespace

const char* cueFileFault(std::span<const std::byte> wave) {
  if (wave.size() > maxCueFileBytes) return "larger than 1 MB";
  if (wave.size() < 12) return nullptr;  // the library says what is wrong with it
  // The RIFF header, then chunks of a four-byte name, a length and that many bytes (padded even).
  for (std::size_t at = 12; wave.size() - at >= 8;) {
    const std::uint32_t length = littleEndian(wave, at + 4, 4);
    const std::size_t body = at + 8;
    if (length > wave.size() - body) return "a chunk announces more bytes than the file holds";
    if (std::memcmp(wave.data() + at, "fmt ", 4) == 0 && length >= 8 &&
        littleEndian(wave, body + 4, 4) < minCueSampleRate)
      return "a sample rate below 8000 Hz";
    at = body + length + (length & 1);
    if (at > wave.size()) break;
  }
  return nullptr;
}

CueFile readCueFile(const char* name, std::vector<std::byte>& bytes, std::string& reason) {
  bytes.clear();
  bool notRegular = false;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(openDataFile(name, notRegular), std::fclose);
  if (!file) {
    if (!notRegular) return CueFile::missing;
    reason = "not a regular file";
    return CueFile::refused;
  }
  // One byte more than the bound tells a file that is too large.
  bytes.resize(maxCueFileBytes + 1);
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file.get()));
  if (std::ferror(file.get())) {
    reason = "a read failed";
    return CueFile::refused;
  }
  if (const char* fault = cueFileFault(bytes)) {
    reason = fault;
    bytes.clear();
    return CueFile::refused;
  }
  return CueFile::ok;
}
