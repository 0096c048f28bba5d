// Recording a session to a replay file and playing one back: the glue between the replay format,
// the frame's input and display, and the game's ends.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "app/config.h"
#include "app/options.h"

// Before the window opens: checks the file to record into (it must be missing, empty or a replay,
// and not "h.bin"), or reads and checks the replay. False with a one-line reason (no line break)
// when that fails. A replay without
// replayWritesHighscores leaves "h.bin" unwritten from here on.
bool prepareSession(const Options& options, std::string& error);

// Reads a replay file whole, opened as the data files are (a pipe or a folder is refused at once),
// up to one byte past the replay reader's bound. False with a one-line reason in `error`.
bool readReplayFile(const std::string& path, std::vector<std::byte>& bytes, std::string& error);

// True when a replay is being played: start-up then takes recordedConfig instead of "config.txt".
bool replaying();
const Config& recordedConfig();

// After start-up has loaded everything and installed the game's hooks: opens the file to record
// into, so a start-up that fails leaves it untouched, and writes the recording's header, or checks the replay's ship variants (a mismatch ends the program with status 1), and
// puts the session between the frame and the game.
void startSession(const Config& config);
