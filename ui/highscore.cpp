// The highscore table, its file image and the file itself.
#include "ui/highscore.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "base/bytes.h"
#include "base/console.h"
#include "base/data_file.h"
#include "base/durable_file.h"
#include "base/error.h"
#include "base/file_lock.h"

HighscoreTable highscoreTable(highscoreCount, true);

namespace {

// Copies a name up to and including its zero, never more than the field holds; what follows the
// zero in the destination stays as it was.
void copyName(char (&to)[highscoreNameBytes], const char* from) {
  int i = 0;
  for (; i < highscoreNameBytes - 1 && from[i] != '\0'; ++i) to[i] = from[i];
  to[i] = '\0';
}

// Enters a result at its rank in `count` ranked entries followed by a spare slot.
void insertResult(std::vector<HighscoreEntry>& entries, int count, const char* name, std::uint32_t score) {
  int i = 0;
  while (i < count && entries[static_cast<std::size_t>(i)].score > score) ++i;
  for (int k = count - 2; k >= i; --k) {
    HighscoreEntry& to = entries[static_cast<std::size_t>(k + 1)];
    const HighscoreEntry& from = entries[static_cast<std::size_t>(k)];
    copyName(to.name, from.name);
    to.score = from.score;
  }
  HighscoreEntry& entry = entries[static_cast<std::size_t>(i)];
  copyName(entry.name, name ? name : "");
  entry.score = score;
}

// What reading the file found: whether it filled the entries, and, for a file that is there but
// cannot be read or is read-only, why the game must never write it.
struct TableFile {
  bool read = false;
  std::string leaveAloneWhy;
};

// Reads the file into `entries`, which a missing or short file leaves as they are.
TableFile readTableFile(const char* path, std::span<HighscoreEntry> entries) {
  TableFile found;
  const DataFile file = readDataFile(path, highscoreFileBytes);
  if (file.status == DataRead::cannotOpen && file.openError == ENOENT) return found;
  if (file.status == DataRead::cannotOpen || file.status == DataRead::notRegular) {
    found.leaveAloneWhy = std::string("cannot be read (") +
                          (file.status == DataRead::notRegular ? "not a regular file" : std::strerror(file.openError)) +
                          ")";
  } else if (file.status == DataRead::cannotRead) {
    found.leaveAloneWhy = "cannot be read (a read failed)";
  } else {
    found.read = decodeHighscores(file.bytes, entries);
    if (isReadOnlyFile(path)) found.leaveAloneWhy = "is read-only";
  }
  return found;
}

}  // namespace

HighscoreBytes encodeHighscores(std::span<const HighscoreEntry> entries) {
  std::vector<std::byte> plain;
  plain.reserve(highscoreFileBytes);
  ByteWriter out(plain);
  const std::size_t records = std::min<std::size_t>(entries.size(), highscoreCount);
  for (std::size_t r = 0; r < records; ++r)
    out.text(std::string_view(entries[r].name, highscoreNameBytes)).u32(entries[r].score);
  out.zeros(highscoreFileBytes - plain.size());
  HighscoreBytes bytes;
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = plain[i] ^ std::byte{0xFF};
  return bytes;
}

bool decodeHighscores(std::span<const std::byte> file, std::span<HighscoreEntry> entries) {
  if (file.size() < static_cast<std::size_t>(highscoreFileBytes)) return false;
  ByteReader in(file);
  for (HighscoreEntry& entry : entries.first(std::min<std::size_t>(entries.size(), highscoreCount))) {
    const std::span<const std::byte> name = in.bytes(highscoreNameBytes);
    for (int i = 0; i < highscoreNameBytes; ++i) entry.name[i] = static_cast<char>(name[i] ^ std::byte{0xFF});
    entry.name[highscoreNameBytes - 1] = '\0';  // a name without its zero ends at the 20th byte
    entry.score = ~in.u32();  // every byte is stored inverted, so the whole word is
  }
  return true;
}

HighscoreTable::HighscoreTable(int count, bool saveAtExit)
    : count_(std::clamp(count, 1, highscoreCount)), saveAtExit_(saveAtExit) {
  try {
    entries_.assign(static_cast<std::size_t>(count_) + 1, HighscoreEntry{});
  } catch (const std::bad_alloc&) {
    throw GameError{};
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

void HighscoreTable::leaveAlone(const char* path, const std::string& why) {
  if (!leftAlone_)
    consolePrint(stderr, "\"%s\" %s: this game's results will not be saved\n", printableName(path).c_str(),
                 why.c_str());
  leftAlone_ = true;
}

bool HighscoreTable::load(const char* path) {
  loaded_ = true;
  const TableFile found = readTableFile(path, std::span(entries_.data(), static_cast<std::size_t>(count_)));
  if (!found.leaveAloneWhy.empty()) leaveAlone(path, found.leaveAloneWhy);
  return found.read;
}

bool HighscoreTable::save(const char* path) {
  if (readOnly_) return true;
  if (leftAlone_) return false;
  FileLock lock;
  std::string failure = lock.acquire(std::string(path) + ".lock", highscoreLockWaitMs);
  if (failure.empty()) {
    std::vector<HighscoreEntry> merged(entries_.size(), HighscoreEntry{});
    const TableFile found = readTableFile(path, std::span(merged.data(), static_cast<std::size_t>(count_)));
    if (!found.leaveAloneWhy.empty()) {
      leaveAlone(path, found.leaveAloneWhy);
      return false;
    }
    // Each result is entered once: the ones saved before are in the file already.
    for (const HighscoreEntry& result : unsaved_) insertResult(merged, count_, result.name, result.score);
    failure = replaceFileContents(path, encodeHighscores(std::span<const HighscoreEntry>(merged.data(), count_)));
    if (failure.empty()) {
      entries_ = merged;
      unsaved_.clear();
      return true;
    }
  }
  consolePrint(stderr, "Cannot save the highscores to \"%s\": %s\n", printableName(path).c_str(), failure.c_str());
  return false;
}

bool HighscoreTable::insert(const char* name, std::uint32_t score) {
  insertResult(entries_, count_, name, score);
  HighscoreEntry result{};
  copyName(result.name, name ? name : "");
  result.score = score;
  unsaved_.push_back(result);
  return true;
}

std::uint32_t HighscoreTable::scoreAt(int i) const { return entryAt(i).score; }

const HighscoreEntry& HighscoreTable::entryAt(int i) const {
  if (i < 0 || i >= count_) throw GameError{};
  return entries_[static_cast<std::size_t>(i)];
}
