// The command-line parser: a table of options, each with the field it sets.
#include "app/options.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "app/frame.h"

const char* const usageText =
    "usage: velmo [X options] [--record FILE | --replay FILE [--replay-speed K] [--replay-writes-highscores]\n"
    "             [--replay-exit]] [--fullscreen] [--ui-scale N|auto] [--lang ru|en] [--no-antialiasing]\n"
    "             [-h | --help] [--version]\n";

const char* const commandLineHelp =
    "velmo: fly the ship, collect the stars, keep clear of the mountains.\n"
    "\n"
    "usage: velmo [X options] [options]\n"
    "  --record FILE               play as usual and write every input to FILE\n"
    "  --replay FILE               play FILE back; your own keys and clicks are ignored\n"
    "  --replay-speed K            K times the normal speed (default 1); 0 as fast as it draws\n"
    "  --replay-writes-highscores  let the replay save the highscores (h.bin); it does not by default\n"
    "  --replay-exit               end with status 0 when the recording ends\n"
    "  --fullscreen                start in full screen (F11 switches)\n"
    "  --ui-scale N|auto           draw the text N times larger (1 to 8); auto picks N from the\n"
    "                              window at every resize (2 at 1920x1080, 4 at 3840x2160)\n"
    "  --lang ru|en                the language of the on-screen texts (default ru)\n"
    "  --no-antialiasing           draw without multisampling\n"
    "  -h, --help                  print this text and end\n"
    "  --version                   print the version and end\n"
    "  X options such as -geometry WxH+X+Y and -display NAME are GLUT's.\n"
    "\n"
    "keys:\n"
    "  Left, Right      turn the ship\n"
    "  F2               a new game\n"
    "  P                pause and resume the game; a letter in the name field\n"
    "  F11              full screen on and off\n"
    "  Tab              move the focus between the on-screen buttons\n"
    "  Space            press the focused button\n"
    "  Up, Down, PgUp, PgDn, mouse wheel  scroll the help\n"
    "  Enter            enter your name at the end of a game\n"
    "\n"
    "files, all in the working directory:\n"
    "  config.txt       optional: landscape detail, ship detail, sound 0 or 1 (default 20 50 1)\n"
    "  h.bin            the ten best results, written after each game\n"
    "  vorizozadi1, ship/, mountain/, sky/, *.bmp, *.wav  the game's data, read at start\n"
    "The installed velmo starts the game in $XDG_DATA_HOME/velmo (~/.local/share/velmo), where\n"
    "it keeps h.bin and config.txt beside links to the installed data.\n";

namespace {

bool parseSpeed(const std::string& text, Options& o, std::string& error) {
  char* end = nullptr;
  const double speed = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0' || !std::isfinite(speed) ||
      !(speed == 0.0 || (speed >= minReplaySpeed && speed <= maxReplaySpeed))) {
    error = "--replay-speed wants 0 or a number from 0.01 to 100, not \"" + text + "\"";
    return false;
  }
  o.replaySpeed = speed;
  return true;
}

bool parseUiScale(const std::string& text, Options& o, std::string& error) {
  if (text == "auto") return o.uiScale = autoGlyphScale, true;
  if (text.size() == 1 && text[0] >= '1' && text[0] <= '0' + maxGlyphScale) return o.uiScale = text[0] - '0', true;
  error = "--ui-scale wants a whole number from 1 to 8 or auto, not \"" + text + "\"";
  return false;
}

bool parseLanguage(const std::string& text, Options& o, std::string& error) {
  if (!findLanguage(text.c_str(), o.language)) {
    error = "--lang wants ru or en, not \"" + text + "\"";
    return false;
  }
  return true;
}

// A switch: sets its field, taking no value.
template <bool Options::*field, bool value = true>
bool setSwitch(const std::string&, Options& o, std::string&) {
  o.*field = value;
  return true;
}

struct OptionRow {
  const char* name;
  bool takesValue;
  // Sets the option's field from its value (empty for a switch); false with `error` set.
  bool (*apply)(const std::string& value, Options& o, std::string& error);
};

const OptionRow optionTable[] = {
    {"--record", true, [](const std::string& v, Options& o, std::string&) { return o.recordPath = v, true; }},
    {"--replay", true, [](const std::string& v, Options& o, std::string&) { return o.replayPath = v, true; }},
    {"--replay-speed", true, parseSpeed},
    {"--replay-writes-highscores", false, setSwitch<&Options::replayWritesHighscores>},
    {"--replay-exit", false, setSwitch<&Options::replayExit>},
    {"--fullscreen", false, setSwitch<&Options::fullScreen>},
    {"--ui-scale", true, parseUiScale},
    {"--lang", true, parseLanguage},
    {"--no-antialiasing", false, setSwitch<&Options::antialiasing, false>},
    {"--help", false, setSwitch<&Options::help>},
    {"-h", false, setSwitch<&Options::help>},
    {"--version", false, setSwitch<&Options::version>},
};

const OptionRow* findOption(std::string_view name) {
  for (const OptionRow& row : optionTable)
    if (name == row.name) return &row;
  return nullptr;
}

}  // namespace

bool parseOptions(int argc, const char* const* argv, Options& options, std::string& error) {
  Options o;
  bool speedGiven = false;
  for (int i = 0; i < argc; ++i) {
    std::string_view arg = argv[i];
    std::string_view name = arg;
    const char* inlineValue = nullptr;  // --name=value
    if (std::size_t eq = arg.find('='); arg.starts_with("--") && eq != std::string_view::npos) {
      name = arg.substr(0, eq);
      inlineValue = argv[i] + eq + 1;
    }
    const OptionRow* row = findOption(name);
    if (!row) {
      error = "unknown option \"" + std::string(arg) + "\"";
      return false;
    }
    std::string value;
    if (row->takesValue) {
      if (inlineValue) {
        value = inlineValue;
      } else if (i + 1 < argc) {
        value = argv[++i];
      } else {
        error = std::string(row->name) + " wants a value";
        return false;
      }
      if (value.empty()) {
        error = std::string(row->name) + " wants a value";
        return false;
      }
    } else if (inlineValue) {
      error = std::string(row->name) + " takes no value";
      return false;
    }
    if (!row->apply(value, o, error)) return false;
    if (std::strcmp(row->name, "--replay-speed") == 0) speedGiven = true;
  }
  if (!o.recordPath.empty() && !o.replayPath.empty()) {
    error = "--record and --replay cannot be used together";
    return false;
  }
  if (o.replayPath.empty() && (speedGiven || o.replayWritesHighscores || o.replayExit)) {
    error = speedGiven                 ? "--replay-speed needs --replay"
            : o.replayWritesHighscores ? "--replay-writes-highscores needs --replay"
                                       : "--replay-exit needs --replay";
    return false;
  }
  options = o;
  return true;
}

bool asksForInformation(int argc, const char* const* argv, bool& help, bool& version) {
  // Every switch among the arguments, whatever stands around it, but only the two are looked at.
  Options o;
  std::string ignored;
  for (int i = 0; i < argc; ++i)
    if (const OptionRow* row = findOption(argv[i]); row && !row->takesValue) row->apply({}, o, ignored);
  help = o.help;
  version = o.version;
  return help || version;
}
