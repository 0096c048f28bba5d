// Replay files: a session's configuration and ship variants, then every input with the number of
// the display it arrived before, and every game end with its score. Layout (little-endian):
//   header  "VELMOREP" (8 bytes), format version u16, game version (u8 length, bytes),
//           landscape detail, ship detail, sound switch (i32 each),
//           variant count u16, each variant recording path (u16 length, bytes)
//   records one type byte, the display number u32, then by type:
//           special key i32 | character u8 (Windows-1251) | mouse button u8, state u8, x f32, y f32
//           (interface units) | window size i32 width, i32 height | game end u8 kind, i32 score
// docs/replay.md describes the format for players and tools.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "app/config.h"
#include "app/input_event.h"
#include "game/frame.h"
#include "model/model_file.h"
#include "model/part_directory.h"

inline constexpr char replayMagic[8] = {'V', 'E', 'L', 'M', 'O', 'R', 'E', 'P'};
inline constexpr std::uint16_t replayFormatVersion = 1;
inline constexpr std::size_t maxReplayBytes = std::size_t{64} << 20;  // a larger file is refused
inline constexpr std::size_t maxReplayVersionChars = 32;
inline constexpr std::size_t maxReplayVariants = maxPickedRecordings;
// A variant path is a part folder's name from the model file, "/" and a line of its files.txt, so
// every path the game draws is recorded whole.
inline constexpr std::size_t maxReplayPathChars =
    static_cast<std::size_t>(modelfile::maxNameBytes) + 1 + maxPartLineChars;
inline constexpr std::uint32_t maxReplayDisplay = 0x7FFFFFFF;
inline constexpr int maxReplaySpecialKey = 0x7FFF;  // GLUT's special keys are small numbers
inline constexpr int maxReplayMouseButton = 31;
inline constexpr int maxReplayWindowSide = 65535;   // pixels
inline constexpr float replayMouseSlack = 1.0f / 64.0f;  // interface units beyond the window's edge

inline constexpr std::uint8_t gameEndRecord = 5;  // the type byte of a game end; inputs use InputKind's values

struct ReplayEvent {
  std::uint32_t display;  // the display an input arrived before, or the one a game ended in, from 0
  bool gameEnd;           // a game end; otherwise an input
  InputEvent input;       // an input
  GameEndKind end;        // a game end: how
  int score;              // a game end: stars collected
};

struct ReplayHeader {
  std::string gameVersion;
  Config config;                          // the values in force during the session
  std::vector<std::string> variants;      // the ship's variant recordings, in the order drawn
};

struct Replay {
  ReplayHeader header;
  std::vector<ReplayEvent> events;
};

// Decodes a whole file. On failure returns false with a one-line reason in `error` (no line break)
// and leaves `replay` in an unspecified state.
bool parseReplay(std::span<const std::byte> file, Replay& replay, std::string& error);

// Encoders for the writer: append the header or one record to `out`.
void encodeReplayHeader(const ReplayHeader& header, std::vector<std::byte>& out);
void encodeReplayEvent(const ReplayEvent& event, std::vector<std::byte>& out);

ReplayEvent inputRecord(std::uint32_t display, const InputEvent& input);
ReplayEvent gameEndRecordAt(std::uint32_t display, GameEndKind end, int score);

// "crash" or "time-out".
const char* gameEndName(GameEndKind kind);
