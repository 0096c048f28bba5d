// The ten best results (a name and the stars collected in one game) and their file "h.bin":
// 240 bytes, ten 24-byte records in rank order, every byte stored complemented (b ^ 0xFF).
//   record: name   20 bytes, Windows-1251, zero-terminated (at most 19 characters)
//           score   4 bytes, unsigned, little-endian
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
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

class HighscoreTable {
 public:
  // count ranked entries (1 to highscoreCount), all empty with score 0, and a spare slot.
  explicit HighscoreTable(int count = highscoreCount, bool saveAtExit = false);
  // With saveAtExit, saves once more if start-up has loaded the table: a run that failed before
  // loading must not replace the player's file with an empty table.
  ~HighscoreTable();
  HighscoreTable(const HighscoreTable&) = delete;
  HighscoreTable& operator=(const HighscoreTable&) = delete;

  // Reads the file into the ranked entries; a missing, unreadable or short file changes nothing
  // and returns false, silently.
  bool load(const char* path = highscoreFileName);
  // Writes the ranked entries: to a temporary file beside it, flushed to the disk, then renamed
  // over it, so a failed save leaves the old file whole. A failure prints one line on standard
  // error and returns false; the table keeps its entries.
  bool save(const char* path = highscoreFileName);
  // Enters a result at its rank, above older results with the same score; a result below all
  // ranked entries lands in the spare slot. Names are cut to 19 characters. Always true.
  bool insert(const char* name, std::uint32_t score);
  // A read-only table saves nothing (save succeeds without writing): a watched replay must not
  // change the player's file.
  void setReadOnly(bool readOnly) { readOnly_ = readOnly; }

  int count() const { return count_; }
  // Entry i of the ranked list; an index outside 0..count-1 throws the integer 1.
  std::uint32_t scoreAt(int i) const;
  const HighscoreEntry& entryAt(int i) const;

 private:
  int count_;
  bool saveAtExit_;
  bool loaded_ = false;                  // load has run (whatever it found)
  bool readOnly_ = false;                // save writes nothing
  std::vector<HighscoreEntry> entries_;  // count_ ranked entries, then the spare slot
};

extern HighscoreTable highscoreTable;  // the game's table; saves "h.bin" once more at exit
