// Recording a session to a replay file and playing one back: the glue between the replay format,
// the frame's input and display, and the game's ends.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "app/config.h"
#include "app/options.h"
#include "app/replay.h"

// Before the window opens: checks the file to record into (it must be missing, empty or a replay,
// and not "h.bin"), or reads and checks the replay. False with a one-line reason (no line break)
// when that fails. A replay without replayWritesHighscores leaves "h.bin" unwritten from here on.
bool prepareSession(const Options& options, std::string& error);

// Reads a replay file whole, opened as the data files are (a pipe or a folder is refused at once),
// and decodes it; it must have been recorded by this version of the game. False with a one-line
// reason in `error`.
bool loadReplayFile(const std::string& path, Replay& replay, std::string& error);

// Why the ship's variants drawn here are not the recording's, or an empty string.
std::string variantMismatch(const std::vector<std::string>& recorded);

// A recording followed display by display, by the game's replay and by velmo-check-replay alike.
// A game that departs from it is reported ("replay diverged at display N: ...") and ends the
// program with status 2.
struct ReplayFollower {
  const std::vector<ReplayEvent>* events = nullptr;  // the recording's records
  std::size_t nextInput = 0;  // the first record not yet delivered
  std::size_t nextEnd = 0;    // the first recorded game end not yet met; events->size() past the last

  // Starts at the first of `records`, which must outlive the follower's use.
  void follow(const std::vector<ReplayEvent>& records);
  // Routes the inputs recorded before `display` to the widgets and hooks as the window's are.
  void deliverInputs(std::uint32_t display);
  bool delivered() const { return nextInput >= events->size(); }
  // A game end in `display`: it must be the next recorded one.
  void meetGameEnd(std::uint32_t display, GameEndKind end, int score);
  // After `display`'s step: a recorded game end there must have been met.
  void checkNoEndPassed(std::uint32_t display) const;
};

// True when a replay is being played: start-up then takes recordedConfig instead of "config.txt".
bool replaying();
const Config& recordedConfig();

// After start-up has loaded everything and installed the game's hooks: opens the file to record
// into, so a start-up that fails leaves it untouched, and writes the recording's header, or checks
// the replay's ship variants (a mismatch ends the program with status 1), and puts the session
// between the frame and the game.
void startSession(const Config& config);
