// The ten best results (a name and the stars collected in one game) and their file "h.bin":
// 240 bytes, ten 24-byte records in rank order, every byte stored complemented (b ^ 0xFF).
//   record: name   20 bytes, Windows-1251, zero-terminated (at most 19 characters)
//           score   4 bytes, unsigned, little-endian
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

inline constexpr const char* highscoreFileName = "h.bin";
inline constexpr int highscoreCount = 10;          // ranked entries of the game's table
inline constexpr int highscoreNameBytes = 20;      // name field, terminating zero included
inline constexpr int highscoreRecordBytes = 24;    // name and score
inline constexpr int highscoreFileBytes = highscoreCount * highscoreRecordBytes;  // 240

struct HighscoreEntry {
  char name[highscoreNameBytes];  // zero-terminated; bytes after the zero carry no meaning
  std::uint32_t score;            // stars collected
};

using HighscoreBytes = std::array<std::byte, highscoreFileBytes>;

// The file image of up to ten entries, complemented; missing records are empty entries.
HighscoreBytes encodeHighscores(std::span<const HighscoreEntry> entries);
// Reads the first 240 bytes of a file image into up to ten entries; false (entries untouched)
// when there are fewer. A name without a zero among its 20 bytes ends at its 20th byte.
bool decodeHighscores(std::span<const std::byte> file, std::span<HighscoreEntry> entries);

// How long a save waits for another game's save to finish before it gives up.
inline constexpr int highscoreLockWaitMs = 2000;

class HighscoreTable {
 public:
  // count ranked entries (1 to highscoreCount), all empty with score 0, and a spare slot.
  explicit HighscoreTable(int count = highscoreCount, bool saveAtExit = false);
  // With saveAtExit, saves once more if start-up has loaded the table: a run that failed before
  // loading must not touch the player's file.
  ~HighscoreTable();
  HighscoreTable(const HighscoreTable&) = delete;
  HighscoreTable& operator=(const HighscoreTable&) = delete;

  // Reads the file into the ranked entries; a missing or short file changes nothing and returns
  // false, silently. A file that is there but cannot be read, or is read-only, is never written:
  // the game says so once, on standard error.
  bool load(const char* path = highscoreFileName);
  // Saves this game's results. Other games may share the file, so under the lock beside it
  // ("h.bin.lock", waited for at most highscoreLockWaitMs) it reads the file again, enters every
  // result inserted since the last save into what the file holds, as insert does, and replaces
  // the file with that (base/durable_file.h); the table then holds what the file holds. A
  // failure prints one line on standard error and returns false; the results stay for the next
  // save, and the table keeps its entries.
  bool save(const char* path = highscoreFileName);
  // Enters a result at its rank, above older results with the same score; a result below all
  // ranked entries lands in the spare slot. Names are cut to 19 characters. Always true.
  bool insert(const char* name, std::uint32_t score);
  // A read-only table saves nothing (save succeeds without writing): a watched replay must not
  // change the player's file.
  void setReadOnly(bool readOnly) { readOnly_ = readOnly; }

  int count() const { return count_; }
  // Entry i of the ranked list; an index outside 0..count-1 throws a GameError without a text.
  std::uint32_t scoreAt(int i) const;
  const HighscoreEntry& entryAt(int i) const;

 private:
  // Marks the file as one never to write, saying why the first time.
  void leaveAlone(const char* path, const std::string& why);

  int count_;
  bool saveAtExit_;
  bool loaded_ = false;                  // load has run (whatever it found)
  bool readOnly_ = false;                // save writes nothing
  bool leftAlone_ = false;               // the file cannot be read or is read-only: never written
  std::vector<HighscoreEntry> entries_;  // count_ ranked entries, then the spare slot
  std::vector<HighscoreEntry> unsaved_;  // results inserted since the last save, in order
};

extern HighscoreTable highscoreTable;  // the game's table; saves "h.bin" once more at exit
