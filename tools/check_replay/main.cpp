// velmo-check-replay FILE: plays a recording through the game's step without a window and prints
// every game end as the game's --replay prints it. Run in the game's data folder: the stars, the
// ship's variants and the mountains are laid out from the random sequence as at start-up.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/replay.h"
#include "app/session.h"
#include "app/startup.h"
#include "base/console.h"
#include "base/console_output.h"
#include "base/error.h"
#include "game/ship.h"
#include "game/step.h"
#include "model/landscapes.h"
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

ReplayFollower follower;    // where the playback stands in the recording
std::uint32_t display = 0;  // the display being run

void onGameEnd(GameEndKind end, int score) {
  consolePrint(stdout, "Game over at display %u: %s with %d stars\n", display, gameEndName(end), score);
  follower.meetGameEnd(display, end, score);
}

// One step per display, up to the display of the last record.
void play(const std::vector<ReplayEvent>& events) {
  for (follower.follow(events); !follower.delivered(); ++display) {
    follower.deliverInputs(display);
    advanceGame();
    follower.checkNoEndPassed(display);
  }
  consolePrint(stdout, "Replay finished at display %u\n", display);
}

}  // namespace

int main(int argc, char** argv) {
  prepareConsole();
  highscoreTable.setReadOnly(true);  // names are entered into a table that is never saved, at exit neither
  if (argc != 2 || argv[1][0] == '-') {
    consolePrint(stderr, "%s", usage);
    return 1;
  }
  Replay replay;
  std::string error;
  if (!loadReplayFile(argv[1], replay, error)) refuse(error);

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
  if (const std::string mismatch = variantMismatch(replay.header.variants); !mismatch.empty()) refuse(mismatch);

  startGame();
  gameEndHook = onGameEnd;
  play(replay.events);
  return 0;
}
