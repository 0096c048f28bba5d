// The highscore table, its file image and the file itself.
#include "ui/highscore.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "base/console.h"
#include "base/data_file.h"
#include "base/durable_file.h"

HighscoreTable highscoreTable(highscoreCount, true);

namespace {

// Copies a name up to and including its zero, never more than the field holds; what follows the
// zero in the destination stays as it was.
void copyName(char (&to)[highscoreNameBytes], const char* from) {
  int i = 0;
  for (; i < highscoreNameBytes - 1 && from[i] != '\0'; ++i) to[i] = from[i];
  to[i] = '\0';
}

void reportSaveFailure(const char* path, int error) {
  consolePrint(stderr, "Cannot save the highscores to \"%s\": %s\n", path,
               error != 0 ? std::strerror(error) : "the disk took only part of the data");
}

}  // namespace

HighscoreBytes encodeHighscores(std::span<const HighscoreEntry> entries) {
  HighscoreBytes bytes{};
  const std::size_t records = std::min<std::size_t>(entries.size(), highscoreCount);
  for (std::size_t r = 0; r < records; ++r) {
    std::byte* record = bytes.data() + r * highscoreRecordBytes;
    std::memcpy(record, entries[r].name, highscoreNameBytes);
    const std::uint32_t score = entries[r].score;
    for (int b = 0; b < 4; ++b) record[highscoreNameBytes + b] = static_cast<std::byte>(score >> (8 * b));
  }
  for (std::byte& b : bytes) b ^= std::byte{0xFF};
  return bytes;
}

bool decodeHighscores(std::span<const std::byte> file, std::span<HighscoreEntry> entries) {
  if (file.size() < static_cast<std::size_t>(highscoreFileBytes)) return false;
  const std::size_t records = std::min<std::size_t>(entries.size(), highscoreCount);
  for (std::size_t r = 0; r < records; ++r) {
    const std::byte* record = file.data() + r * highscoreRecordBytes;
    HighscoreEntry& entry = entries[r];
    for (int i = 0; i < highscoreNameBytes; ++i) entry.name[i] = static_cast<char>(record[i] ^ std::byte{0xFF});
    entry.name[highscoreNameBytes - 1] = '\0';  // a name without its zero ends at the 20th byte
    std::uint32_t score = 0;
    for (int b = 0; b < 4; ++b)
      score |= static_cast<std::uint32_t>(record[highscoreNameBytes + b] ^ std::byte{0xFF}) << (8 * b);
    entry.score = score;
  }
  return true;
}

HighscoreTable::HighscoreTable(int count, bool saveAtExit)
    : count_(std::clamp(count, 1, highscoreCount)), saveAtExit_(saveAtExit) {
  try {
    entries_.assign(static_cast<std::size_t>(count_) + 1, HighscoreEntry{});
  } catch (const std::bad_alloc&) {
    throw 1;
  }
}

HighscoreTable::~HighscoreTable() {
  if (!saveAtExit_ || !loaded_) return;
  try {
    save();
  } catch (...) {
    // Nothing can be reported any more at exit beyond what save printed.
  }
}

bool HighscoreTable::load(const char* path) {
  loaded_ = true;
  std::FILE* file = openDataFile(path);
  if (!file) return false;
  std::array<std::byte, highscoreFileBytes> bytes;
  const std::size_t got = std::fread(bytes.data(), 1, bytes.size(), file);
  std::fclose(file);
  return decodeHighscores(std::span<const std::byte>(bytes.data(), got), std::span(entries_.data(), count_));
}

bool HighscoreTable::save(const char* path) {
  if (readOnly_) return true;
  const HighscoreBytes bytes = encodeHighscores(std::span<const HighscoreEntry>(entries_.data(), count_));
  const std::string temporary = std::string(path) + ".tmp";
  std::FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) {
    reportSaveFailure(path, errno);
    return false;
  }
  int error = 0;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  if (!ok) error = errno;
  if (ok && std::fflush(file) != 0) ok = false, error = errno;
  if (ok && (error = syncToDisk(file)) != 0) ok = false;
  if (std::fclose(file) != 0 && ok) ok = false, error = errno;
  if (ok && (error = replaceFile(temporary.c_str(), path)) != 0) ok = false;
  if (!ok) {
    std::remove(temporary.c_str());
    reportSaveFailure(path, error);
    return false;
  }
  return true;
}

bool HighscoreTable::insert(const char* name, std::uint32_t score) {
  int i = 0;
  while (i < count_ && entries_[static_cast<std::size_t>(i)].score > score) ++i;
  for (int k = count_ - 2; k >= i; --k) {
    HighscoreEntry& to = entries_[static_cast<std::size_t>(k + 1)];
    const HighscoreEntry& from = entries_[static_cast<std::size_t>(k)];
    copyName(to.name, from.name);
    to.score = from.score;
  }
  HighscoreEntry& entry = entries_[static_cast<std::size_t>(i)];
  copyName(entry.name, name ? name : "");
  entry.score = score;
  return true;
}

std::uint32_t HighscoreTable::scoreAt(int i) const { return entryAt(i).score; }

const HighscoreEntry& HighscoreTable::entryAt(int i) const {
  if (i < 0 || i >= count_) throw 1;
  return entries_[static_cast<std::size_t>(i)];
}
