// Fuzz target: "h.bin". A table read from any file has bounded names and writes back to the same
// 240 bytes it would read again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "ui/highscore.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  HighscoreEntry entries[highscoreCount] = {};
  if (!decodeHighscores({reinterpret_cast<const std::byte*>(data), size}, entries)) {
    if (size >= static_cast<std::size_t>(highscoreFileBytes)) std::abort();
    return 0;
  }
  for (const HighscoreEntry& e : entries)
    if (std::memchr(e.name, 0, sizeof e.name) == nullptr) std::abort();
  HighscoreBytes bytes = encodeHighscores(entries);
  HighscoreEntry again[highscoreCount] = {};
  if (!decodeHighscores(bytes, again)) std::abort();
  for (int i = 0; i < highscoreCount; ++i)
    if (again[i].score != entries[i].score || std::strcmp(again[i].name, entries[i].name) != 0) std::abort();
  return 0;
}
