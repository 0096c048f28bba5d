// The start-up sequence and the one handler that reports fatal failures.
#include "app/startup.h"

#include <GL/gl.h>

#include <cstdio>

#include "app/config.h"
#include "base/console.h"
#include "base/console_output.h"
#include "app/frame.h"
#include "app/options.h"
#include "app/session.h"
#include "app/version.h"
#include "base/error.h"
#include "game/frame.h"
#include "game/ship.h"
#include "game/sound.h"
#include "game/state.h"
#include "model/landscapes.h"
#include "render/cubemap.h"
#include "render/floor.h"
#include "render/skybox.h"
#include "render/stars.h"
#include "ui/highscore.h"
#include "ui/texts.h"

namespace {

const char* glString(GLenum name) {
  const GLubyte* text = glGetString(name);
  return text ? reinterpret_cast<const char*>(text) : "";
}

// The recorded values for a replay, else "config.txt"'s.
Config startConfig() {
  if (!replaying()) return clampConfig(readConfigFile("config.txt"), stderr);
  const Config& c = recordedConfig();
  consolePrint(stdout, "Replay: config.txt is not read; the recorded landscape detail %d, ship detail %d and sound %d apply\n",
               c.landscapeDetail, c.shipDetail, c.sound);
  return c;
}

void startAndRun(const Options& options) {
  appFrame.uiScale = options.uiScale;
  setLanguage(options.language);
  openWindow("velmo 1.0", options.antialiasing, options.fullScreen);
  consolePrint(stdout, "Vendor:   %s\nRenderer: %s\nVersion:  %s\n", glString(GL_VENDOR), glString(GL_RENDERER),
               glString(GL_VERSION));

  Config config = startConfig();
  switchSound(config.sound != 0);
  openSound();
  highscoreTable.load();

  initSkyBox();
  initFloor();
  initStars();
  initCubeMap();
  loadShip(config.shipDetail);
  loadLandscapes(config.landscapeDetail);
  sceneOptions.sphereDetail = config.landscapeDetail;
  sceneOptions.windowView = restoreWindowView;
  createBlastTexture();
  createFrameTextures();

  startGame();
  appFrame.displayHook = gameFrame;
  startSession(config);
  runMainLoop();
}

}  // namespace

void startGame() {
  connectDialogs();
  restartGame();
  appFrame.specialHook = gameSpecialKey;
  appFrame.keyboardHook = gameKey;
}

int runVelmo(int argc, char** argv) {
  prepareConsole();
  Options options;
  if (asksForInformation(argc - 1, argv + 1, options.help, options.version)) {
    if (options.help) consolePrint(stdout, "%s", commandLineHelp);
    if (options.version) consolePrint(stdout, "velmo %s\n", velmoVersion);
    return 0;
  }
  initWindowSystem(&argc, argv);  // GLUT takes its own options out first
  std::string error;
  if (!parseOptions(argc - 1, argv + 1, options, error)) {
    consolePrint(stderr, "velmo: %s\n%s", error.c_str(), usageText);
    return 1;
  }
  if (!prepareSession(options, error)) {  // a file that cannot be used: its line is enough
    consolePrint(stderr, "velmo: %s\n", error.c_str());
    return 1;
  }
  try {
    startAndRun(options);
    return 0;  // the main loop was left on purpose: the recording has ended (--replay-exit)
  } catch (const GameError& failure) {
    consolePrint(stderr, "%s", failureReport(failure).c_str());
  } catch (...) {
    consolePrint(stderr, "%s", failureText::unnamed);
  }
  // A closed window ends the process inside GLUT; only a failure comes here.
  return 1;
}
