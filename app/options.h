// The game's own command-line options, read after GLUT has taken its own (-geometry, -display...).
#pragma once

#include <string>

#include "ui/texts.h"

struct Options {
  std::string recordPath;               // --record: write the session to this file
  std::string replayPath;               // --replay: play this file back
  double replaySpeed = 1.0;             // --replay-speed: displays per timer period; 0 as fast as drawn
  bool replayWritesHighscores = false;  // --replay-writes-highscores: a replay may save "h.bin"
  bool replayExit = false;              // --replay-exit: end with status 0 when the recording ends
  bool antialiasing = true;             // cleared by --no-antialiasing
  bool fullScreen = false;              // --fullscreen: start in full screen
  int uiScale = 1;                      // --ui-scale: screen pixels per font pixel, or autoGlyphScale
  Language language = Language::russian;  // --lang
  bool help = false;                    // --help, -h: print the help and end
  bool version = false;                 // --version: print the version and end
};

inline constexpr double maxReplaySpeed = 100.0;
inline constexpr double minReplaySpeed = 0.01;  // besides 0

// Reads the arguments after the program name. False with a one-line reason (no line break) in
// `error` for an unknown option, a missing or bad value, or options that do not go together.
bool parseOptions(int argc, const char* const* argv, Options& options, std::string& error);

// Whether an argument of its own is --help, -h or --version, setting the two flags. These are
// answered before the window system starts, so that they work without a display.
bool asksForInformation(int argc, const char* const* argv, bool& help, bool& version);

// The usage, printed after a usage error: a few lines, each ending in a line break.
extern const char* const usageText;
// The help: the usage, every option, the keys and the files, each line ending in a line break.
extern const char* const commandLineHelp;
