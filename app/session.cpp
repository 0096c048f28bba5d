// Sessions: the recorder appends every input and game end, stamped with the display number, and
// writes them out at every game end and at exit; the replayer delivers the recorded inputs before
// their displays, ignores the player's, and checks every game end against the recording.
#include "app/session.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <filesystem>
#include <vector>

#include "base/console.h"
#include "base/data_file.h"
#include "base/durable_file.h"
#include "app/frame.h"
#include "app/replay.h"
#include "app/version.h"
#include "game/frame.h"
#include "model/part_directory.h"
#include "ui/highscore.h"

namespace {

enum class Mode { none, recording, replaying };

struct Session {
  Mode mode = Mode::none;
  std::uint32_t display = 0;           // displays run so far: the number of the next one
  DisplayHook gameDisplay = nullptr;   // the game's display hook, run by the session's
  // Recording:
  std::string path;
  std::FILE* file = nullptr;
  std::vector<std::byte> pending;      // encoded records not yet written
  bool writeFailed = false;            // reported once
  // Replaying:
  Replay replay;
  ReplayFollower follower;             // where the replay stands in the recording
  bool finished = false;               // every record delivered: the player has the game
  bool exitAtEnd = false;              // --replay-exit: the program ends when the recording does
};
Session session;

constexpr std::size_t pendingReserve = 64 * 1024;

void writePending() {
  if (!session.file) return;
  if (!session.pending.empty() &&
      std::fwrite(session.pending.data(), 1, session.pending.size(), session.file) != session.pending.size() &&
      !session.writeFailed) {
    session.writeFailed = true;
    consolePrint(stderr, "Cannot write the replay to \"%s\": %s\n", printableName(session.path).c_str(),
                 std::strerror(errno));
  }
  session.pending.clear();
  if (std::fflush(session.file) != 0 && !session.writeFailed) {
    session.writeFailed = true;
    consolePrint(stderr, "Cannot write the replay to \"%s\": %s\n", printableName(session.path).c_str(),
                 std::strerror(errno));
  }
}

void closeRecording() {
  writePending();
  if (session.file) std::fclose(session.file);
  session.file = nullptr;
}

bool recordInput(const InputEvent& input) {
  encodeReplayEvent(inputRecord(session.display, input), session.pending);
  return true;
}

// The player's own inputs do not reach a replayed game.
bool ignoreInput(const InputEvent&) { return false; }

void onGameEnd(GameEndKind end, int score) {
  consolePrint(stdout, "Game over at display %u: %s with %d stars\n", session.display, gameEndName(end), score);
  if (session.mode == Mode::recording) {
    encodeReplayEvent(gameEndRecordAt(session.display, end, score), session.pending);
    writePending();
    return;
  }
  if (!session.finished) session.follower.meetGameEnd(session.display, end, score);
}

void finishReplay() {
  session.finished = true;
  appFrame.inputHook = nullptr;
  setFramePeriod(timerPeriod);
  consolePrint(stdout, "Replay finished at display %u: the game is yours\n", session.display);
  if (session.exitAtEnd) endMainLoop();
}

void sessionDisplay() {
  const bool following = session.mode == Mode::replaying && !session.finished;
  if (following) session.follower.deliverInputs(session.display);
  session.gameDisplay();
  if (following) session.follower.checkNoEndPassed(session.display);
  ++session.display;
  if (following && session.follower.delivered()) finishReplay();
}

std::string describe(GameEndKind end, int score) {
  return std::string(gameEndName(end)) + " with " + std::to_string(score) + " stars";
}

[[noreturn]] void diverged(std::uint32_t display, const std::string& what) {
  consolePrint(stderr, "replay diverged at display %u: %s\n", display, what.c_str());
  std::exit(2);
}

// Why a path that opened is not a file to read or write.
std::string notAFile(const std::string& path) {
  std::error_code ignored;
  return std::filesystem::is_directory(path, ignored) ? "it is a folder" : "not a regular file (a pipe or a device)";
}

}  // namespace

bool loadReplayFile(const std::string& path, Replay& replay, std::string& error) {
  // One byte past the reader's bound, so that the reader tells a larger file. Opened as the data
  // files are, so a named pipe without a writer is refused, not waited on.
  const DataFile file = readDataFile(path.c_str(), maxReplayBytes + 1);
  if (file.status == DataRead::cannotOpen || file.status == DataRead::notRegular) {
    error = "cannot read the replay " + quotedName(path) + ": " +
            (file.status == DataRead::notRegular ? notAFile(path) : std::strerror(file.openError));
    return false;
  }
  if (file.status == DataRead::cannotRead) {
    error = "cannot read the replay " + quotedName(path) + ": a read failed";
    return false;
  }
  if (!parseReplay(file.bytes, replay, error)) {
    error = quotedName(path) + " is not a replay this game can play: " + error;
    return false;
  }
  if (replay.header.gameVersion != velmoVersion) {
    error = quotedName(path) + " was recorded by velmo " + replay.header.gameVersion + ", this is velmo " +
            velmoVersion;
    return false;
  }
  return true;
}

std::string variantMismatch(const std::vector<std::string>& recorded) {
  const std::vector<std::string>& here = pickedRecordings();
  for (std::size_t i = 0; i < std::max(recorded.size(), here.size()); ++i) {
    const std::string want = i < recorded.size() ? recorded[i] : "(none)";
    const std::string have = i < here.size() ? here[i] : "(none)";
    if (want != have)
      return "replay refused: ship variant " + std::to_string(i + 1) + " is " + quotedName(have) + " here, " +
             quotedName(want) + " in the recording; the data folder differs";
  }
  return {};
}

void ReplayFollower::follow(const std::vector<ReplayEvent>& records) {
  events = &records;
  nextInput = 0;
  nextEnd = 0;
  while (nextEnd < records.size() && !records[nextEnd].gameEnd) ++nextEnd;
}

void ReplayFollower::deliverInputs(std::uint32_t display) {
  for (; nextInput < events->size() && (*events)[nextInput].display <= display; ++nextInput)
    if (!(*events)[nextInput].gameEnd) dispatchInput((*events)[nextInput].input);
}

void ReplayFollower::meetGameEnd(std::uint32_t display, GameEndKind end, int score) {
  if (nextEnd >= events->size())
    diverged(display, "the game ended by " + describe(end, score) + "; the recording has no further game end");
  const ReplayEvent& want = (*events)[nextEnd];
  if (want.display != display || want.end != end || want.score != score)
    diverged(display, "the game ended by " + describe(end, score) + "; the recording's ended by " +
                          describe(want.end, want.score) + " at display " + std::to_string(want.display));
  do ++nextEnd;
  while (nextEnd < events->size() && !(*events)[nextEnd].gameEnd);
}

void ReplayFollower::checkNoEndPassed(std::uint32_t display) const {
  if (nextEnd >= events->size() || (*events)[nextEnd].display > display) return;
  const ReplayEvent& want = (*events)[nextEnd];
  diverged(display, "the recording's game ended here by " + describe(want.end, want.score) + "; this one goes on");
}

namespace {

// Why `path` may not be recorded into, or an empty string. The file is only looked at here: it is
// opened, and emptied, once start-up has succeeded. Anything there already must be a replay, so a
// slip of the hand cannot put a recording over "h.bin", a data file or any other file.
std::string recordTargetFault(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error, again;
  if (fs::weakly_canonical(path, error) == fs::weakly_canonical(highscoreFileName, again) && !error && !again)
    return "that is the highscore file";
  const fs::file_status status = fs::status(path, error);
  if (!fs::exists(status)) {
    const fs::path folder = fs::path(path).parent_path();
    return folder.empty() || fs::is_directory(folder, error) ? "" : "there is no folder " + quotedName(folder.string());
  }
  if (!fs::is_regular_file(status)) return notAFile(path);
  bool notRegular = false;
  std::FILE* file = openDataFile(path.c_str(), notRegular);
  if (!file) return notRegular ? notAFile(path) : std::strerror(errno);
  char magic[sizeof replayMagic] = {};
  const std::size_t got = std::fread(magic, 1, sizeof magic, file);
  std::fclose(file);
  if (got == 0 || (got == sizeof magic && std::memcmp(magic, replayMagic, sizeof magic) == 0)) return {};
  return "it holds something other than a replay, which a recording would overwrite";
}

}  // namespace

bool prepareSession(const Options& options, std::string& error) {
  if (!options.recordPath.empty()) {
    session.path = options.recordPath;
    if (const std::string fault = recordTargetFault(options.recordPath); !fault.empty()) {
      error = "cannot write the replay " + quotedName(options.recordPath) + ": " + fault;
      return false;
    }
    session.mode = Mode::recording;
    session.pending.reserve(pendingReserve);
    std::atexit(closeRecording);
    return true;
  }
  if (options.replayPath.empty()) return true;
  if (!loadReplayFile(options.replayPath, session.replay, error)) return false;
  session.follower.follow(session.replay.events);
  session.mode = Mode::replaying;
  session.exitAtEnd = options.replayExit;
  if (!options.replayWritesHighscores) highscoreTable.setReadOnly(true);
  appFrame.framePeriod =
      options.replaySpeed == 0.0 ? 0 : std::max(1, static_cast<int>(std::lround(timerPeriod / options.replaySpeed)));
  return true;
}

bool replaying() { return session.mode == Mode::replaying; }

const Config& recordedConfig() { return session.replay.header.config; }

void startSession(const Config& config) {
  if (session.mode == Mode::none) return;
  session.gameDisplay = appFrame.displayHook;
  appFrame.displayHook = sessionDisplay;
  gameEndHook = onGameEnd;
  if (session.mode == Mode::recording) {
    std::string reason;
    session.file = openOutputFile(session.path, reason);
    if (!session.file) {
      consolePrint(stderr, "velmo: cannot write the replay \"%s\": %s\n", printableName(session.path).c_str(),
                   reason.c_str());
      std::exit(1);
    }
    ReplayHeader header{velmoVersion, config, pickedRecordings()};
    encodeReplayHeader(header, session.pending);
    writePending();
    appFrame.inputHook = recordInput;
    return;
  }
  if (const std::string mismatch = variantMismatch(session.replay.header.variants); !mismatch.empty()) {
    consolePrint(stderr, "velmo: %s\n", mismatch.c_str());
    std::exit(1);
  }
  appFrame.inputHook = ignoreInput;
  if (session.replay.events.empty()) finishReplay();
}
