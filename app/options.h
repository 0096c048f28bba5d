// The game's own command-line options, read after GLUT has taken its own (-geometry, -display...).
#pragma once

#include <string>

struct Options {
  std::string recordPath;               // --record: write the session to this file
  std::string replayPath;               // --replay: play this file back
  double replaySpeed = 1.0;             // --replay-speed: displays per timer period; 0 as fast as drawn
  bool replayWritesHighscores = false;  // --replay-writes-highscores: a replay may save "h.bin"
  bool antialiasing = true;             // cleared by --no-antialiasing
  bool help = false;                    // --help: print the usage and end
  bool version = false;                 // --version: print the version and end
};

inline constexpr double maxReplaySpeed = 100.0;
inline constexpr double minReplaySpeed = 0.01;  // besides 0

// Reads the arguments after the program name. False with a one-line reason (no line break) in
// `error` for an unknown option, a missing or bad value, or options that do not go together.
bool parseOptions(int argc, const char* const* argv, Options& options, std::string& error);

// Whether an argument of its own is --help or --version, setting the two flags. These are
// answered before the window system starts, so that they work without a display.
bool asksForInformation(int argc, const char* const* argv, bool& help, bool& version);

// The usage text, several lines, each ending in a line break.
extern const char* const usageText;
