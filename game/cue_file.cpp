// Reading and examining the sound cues' wave files.
#include "game/cue_file.h"

#include <cstdio>
#include <cstring>
#include <utility>

#include "base/bytes.h"
#include "base/console.h"
#include "base/data_file.h"

const char* cueFileFault(std::span<const std::byte> wave) {
  if (wave.size() > maxCueFileBytes) return "larger than 1 MB";
  if (wave.size() < 12) return nullptr;  // the library says what is wrong with it
  // The RIFF header, then chunks of a four-byte name, a length and that many bytes (padded even).
  ByteReader in(wave, 12);
  while (in.left() >= 8) {
    const std::span<const std::byte> name = in.bytes(4);
    const std::uint32_t length = in.u32();
    if (length > in.left()) return "a chunk announces more bytes than the file holds";
    if (std::memcmp(name.data(), "fmt ", 4) == 0 && length >= 8 &&
        ByteReader(wave, in.position() + 4).u32() < minCueSampleRate)
      return "a sample rate below 8000 Hz";
    if (!in.skip(std::size_t{length} + (length & 1))) break;
  }
  return nullptr;
}

CueFile readCueFile(const char* name, std::vector<std::byte>& bytes) {
  // One byte more than the bound tells a file that is too large.
  DataFile file = readDataFile(name, maxCueFileBytes + 1);
  bytes.clear();
  const char* fault = nullptr;
  switch (file.status) {
    case DataRead::cannotOpen:
      return CueFile::missing;
    case DataRead::notRegular:
      fault = "not a regular file";
      break;
    case DataRead::cannotRead:
      fault = "a read failed";
      break;
    case DataRead::ok:
    case DataRead::tooLarge:
      fault = cueFileFault(file.bytes);
      break;
  }
  if (fault) {
    consolePrint(stderr, "%s: %s; the cue stays silent\n", name, fault);
    return CueFile::refused;
  }
  bytes = std::move(file.bytes);
  return CueFile::ok;
}
