// The command-line parser: a table of options, each with the field it sets.
#include "app/options.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string_view>

const char* const usageText =
    "usage: velmo [X options] [--record FILE | --replay FILE [--replay-speed K] [--replay-writes-highscores]]\n"
    "             [--no-antialiasing] [--help] [--version]\n"
    "  --record FILE               play as usual and write every input to FILE\n"
    "  --replay FILE               play FILE back; your own keys and clicks are ignored\n"
    "  --replay-speed K            K times the normal speed (default 1); 0 as fast as it draws\n"
    "  --replay-writes-highscores  let the replay save the highscores (h.bin); it does not by default\n"
    "  --no-antialiasing           draw without multisampling\n"
    "  --help, --version           print this text or the version and end\n";

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
    {"--replay-writes-highscores", false,
     [](const std::string&, Options& o, std::string&) { return o.replayWritesHighscores = true, true; }},
    {"--no-antialiasing", false, [](const std::string&, Options& o, std::string&) { return o.antialiasing = false, true; }},
    {"--help", false, [](const std::string&, Options& o, std::string&) { return o.help = true, true; }},
    {"--version", false, [](const std::string&, Options& o, std::string&) { return o.version = true, true; }},
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
  if (o.replayPath.empty() && (speedGiven || o.replayWritesHighscores)) {
    error = speedGiven ? "--replay-speed needs --replay" : "--replay-writes-highscores needs --replay";
    return false;
  }
  options = o;
  return true;
}

bool asksForInformation(int argc, const char* const* argv, bool& help, bool& version) {
  help = version = false;
  for (int i = 0; i < argc; ++i) {
    const std::string_view argument = argv[i];
    help = help || argument == "--help";
    version = version || argument == "--version";
  }
  return help || version;
}
