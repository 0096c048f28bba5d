// velmo-check-replay FILE: plays a recording through the game's step without a window and prints
// every game end as the game's --replay prints it. Run in the game's data folder: the stars, the
// ship's variants and the mountains are laid out from the random sequence as at start-up.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/replay.h"
#include "app/session.h"
#include "app/version.h"
#include "base/console.h"
#include "base/console_output.h"
#include "base/error.h"
#include "game/ship.h"
#include "game/state.h"
#include "game/step.h"
#include "model/landscapes.h"
#include "model/part_directory.h"
#include "render/stars.h"
#include "ui/highscore.h"

namespace {

constexpr const char* usage = "usage: velmo-check-replay FILE (in the game's data folder)\n";

[[noreturn]] void refuse(const std::string& why) {
  consolePrint(stderr, "velmo-check-replay: %s\n", why.c_str());
  std::exit(1);
}

// What start-up draws from the random sequence, in its order and without GL: the stars, the
// ship's variants, the mountains' places. The ship and the mountains are built at the recorded
// details, so the collision squares are the game's.
void loadLikeTheGame(const Config& config) {
  initStars();
  loadShip(config.shipDetail);
  loadLandscapes(config.landscapeDetail);
}

void checkVariants(const std::vector<std::string>& recorded) {
  const std::vector<std::string>& here = pickedRecordings();
  for (std::size_t i = 0; i < std::max(recorded.size(), here.size()); ++i) {
    const std::string want = i < recorded.size() ? recorded[i] : "(none)";
    const std::string have = i < here.size() ? here[i] : "(none)";
    if (want != have)
      refuse("replay refused: ship variant " + std::to_string(i + 1) + " is " + quotedName(have) + " here, " +
             quotedName(want) + " in the recording; the data folder differs");
  }
}

struct Playback {
  std::vector<ReplayEvent> ends;  // the recorded game ends, in order
  std::size_t nextEnd = 0;        // the first not yet met
  std::uint32_t display = 0;      // the display being run
};
Playback playback;

std::string describe(GameEndKind end, int score) {
  return std::string(gameEndName(end)) + " with " + std::to_string(score) + " stars";
}

[[noreturn]] void diverged(const std::string& what) {
  consolePrint(stderr, "replay diverged at display %u: %s\n", playback.display, what.c_str());
  std::exit(2);
}

void onGameEnd(GameEndKind end, int score) {
  consolePrint(stdout, "Game over at display %u: %s with %d stars\n", playback.display, gameEndName(end), score);
  if (playback.nextEnd >= playback.ends.size())
    diverged("the game ended by " + describe(end, score) + "; the recording has no further game end");
  const ReplayEvent& want = playback.ends[playback.nextEnd++];
  if (want.display != playback.display || want.end != end || want.score != score)
    diverged("the game ended by " + describe(end, score) + "; the recording's ended by " +
             describe(want.end, want.score) + " at display " + std::to_string(want.display));
}

// The recording's inputs before their displays, routed to the widgets and the game's hooks as the
// window's are; one step per display, up to the display of the last record.
void play(const std::vector<ReplayEvent>& events) {
  std::size_t next = 0;
  for (; next < events.size(); ++playback.display) {
    for (; next < events.size() && events[next].display <= playback.display; ++next)
      if (!events[next].gameEnd) dispatchInput(events[next].input);
    advanceGame();
    if (playback.nextEnd < playback.ends.size() && playback.ends[playback.nextEnd].display <= playback.display) {
      const ReplayEvent& want = playback.ends[playback.nextEnd];
      diverged("the recording's game ended here by " + describe(want.end, want.score) + "; this one goes on");
    }
  }
  consolePrint(stdout, "Replay finished at display %u\n", playback.display);
}

}  // namespace

int main(int argc, char** argv) {
  prepareConsole();
  highscoreTable.setReadOnly(true);  // names are entered into a table that is never saved, at exit neither
  if (argc != 2 || argv[1][0] == '-') {
    consolePrint(stderr, "%s", usage);
    return 1;
  }
  std::vector<std::byte> bytes;
  std::string error;
  if (!readReplayFile(argv[1], bytes, error)) refuse(error);
  Replay replay;
  if (!parseReplay(bytes, replay, error))
    refuse(quotedName(argv[1]) + " is not a replay this game can play: " + error);
  if (replay.header.gameVersion != velmoVersion)
    refuse(quotedName(argv[1]) + " was recorded by velmo " + replay.header.gameVersion + ", this is velmo " +
           velmoVersion);
  for (const ReplayEvent& e : replay.events)
    if (e.gameEnd) playback.ends.push_back(e);

  try {
    loadLikeTheGame(replay.header.config);
  } catch (const GameError& failure) {
    std::string report = failureReport(failure);
    if (report.back() != '\n') report += '\n';
    consolePrint(stderr, "%s", report.c_str());
    refuse("the game's data could not be loaded; run this in the game's data folder");
  } catch (...) {
    consolePrint(stderr, "%s\n", failureText::unnamed);
    refuse("the game's data could not be loaded; run this in the game's data folder");
  }
  checkVariants(replay.header.variants);

  connectDialogs();
  restartGame();
  appFrame.specialHook = gameSpecialKey;
  appFrame.keyboardHook = gameKey;
  gameEndHook = onGameEnd;
  play(replay.events);
  return 0;
}
