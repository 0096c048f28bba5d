// One measured run: the real game started in a window of the asked size, driven by the flight
// replay, each display timed from its first clear to its buffer swap (after glFinish).
#include "tools/bench/child.h"

#include <GL/freeglut.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "base/console.h"
#include "app/frame.h"
#include "app/startup.h"
#include "game/frame.h"
#include "game/state.h"
#include "model/landscapes.h"
#include "render/cubemap.h"
#include "render/frustum.h"
#include "render/stars.h"
#include "tools/bench/alloc_count.h"
#include "tools/bench/flight_script.h"
#include "tools/bench/stats.h"

// The linker routes the game's calls of these two through the wrappers below.
extern "C" void __real_glutDisplayFunc(void (*callback)());
extern "C" void __real_glutSwapBuffers();

namespace {

using Clock = std::chrono::steady_clock;

struct Run {
  ChildOptions options;
  void (*gameDisplay)() = nullptr;       // the game's own display callback
  std::vector<double> displayMs;         // one per display, reserved before the first
  std::vector<double> swapMs;            // the buffer swap itself, after the measured part
  Clock::time_point displayStart{};
  Clock::time_point swapStart{};
  double startupMs = 0.0;
  long long childNs = 0;                 // the child's own code began (after exec and loading the libraries)
  long long windowNs = 0;                // the window and its GL context exist
  long long loopNs = 0;                  // start-up done: the first display begins
  int step = 0;                          // displays so far
  int collected = 0, crashes = 0, timeouts = 0, restarts = 0;
  std::uint64_t allocatingSteps = 0;
  std::string renderer;
};
Run run;

double msBetween(Clock::time_point a, Clock::time_point b) {
  return std::chrono::duration<double, std::milli>(b - a).count();
}

long long nanosecondsNow() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch()).count();
}

void trace(std::uint64_t allocations) {
  const GameState& g = gameState;
  double ms = run.displayMs.empty() ? 0.0 : run.displayMs.back();
  consolePrint(stdout, "step %d %.2f ms %llu allocs camera %.1f %.1f heading %.0f bubble %.2f crashed %d collected %d\n",
               run.step, ms, static_cast<unsigned long long>(allocations), g.camera.x, g.camera.z, g.heading,
               g.bubble, g.crashed, g.collected);
}

void traceWorld() {
  GLint samples = 0;
  glGetIntegerv(GL_SAMPLES, &samples);
  consolePrint(stdout, "frame buffer samples %d\n", samples);
  for (const Star& s : starSet.stars) consolePrint(stdout, "star world %.0f %.0f\n", s.x, -s.y);
  for (const LandscapeInstance& m : landscapeInstances) consolePrint(stdout, "mountain %.0f %.0f\n", m.x, m.z);
  consolePrint(stdout, "mountain half %.2f %.2f\n", landscapeHalfX, landscapeHalfZ);
}

void writeResult() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  TimeSummary display = summariseTimes(run.displayMs);
  double swap = medianOf(run.swapMs);
  AllocationCounts a = allocationCounts();
  std::FILE* out = std::fopen(run.options.resultPath.c_str(), "w");
  if (!out) {
    std::fprintf(stderr, "bench: cannot write %s\n", run.options.resultPath.c_str());
    return;
  }
  std::fprintf(out, "%d,%d,%.2f,%d,%.3f,%.3f,%.3f,%.3f,%.1f,%llu,%llu,%llu,%llu,%d,%d,%d,%d\n%s\n",
               appFrame.windowWidth, appFrame.windowHeight, run.startupMs, run.step, display.median, display.p95,
               display.worst, swap, usage.ru_maxrss / 1024.0, static_cast<unsigned long long>(a.game),
               static_cast<unsigned long long>(a.glu), static_cast<unsigned long long>(a.other),
               static_cast<unsigned long long>(run.allocatingSteps), run.collected, run.crashes, run.timeouts,
               run.restarts, run.renderer.c_str());
  std::fclose(out);
}

void benchDisplay() {
  if (run.step == 0) run.loopNs = nanosecondsNow();
  GameState before = gameState;
  std::uint64_t allocationsBefore = allocationCounts().total();
  run.displayStart = Clock::now();
  startCountingAllocations();
  run.gameDisplay();  // its swap ends the measured part
  stopCountingAllocations();
  std::uint64_t allocations = allocationCounts().total() - allocationsBefore;
  if (allocations != 0) ++run.allocatingSteps;
  if (gameState.collected > before.collected) run.collected += gameState.collected - before.collected;
  if (gameState.crashed && !before.crashed) ++run.crashes;
  if (gameState.bubble == 0.0f && before.bubble > 0.0f && !gameState.crashed) ++run.timeouts;
  if (run.step == 0) {
    run.restarts = benchRestarts;
    long long now = nanosecondsNow();
    run.startupMs = (now - run.options.startNs) / 1e6;
    if (run.options.trace)
      consolePrint(stdout, "start-up: exec %.1f ms, window %.1f ms, loading %.1f ms, first display %.1f ms\n",
                   (run.childNs - run.options.startNs) / 1e6, (run.windowNs - run.childNs) / 1e6,
                   (run.loopNs - run.windowNs) / 1e6, (now - run.loopNs) / 1e6);
    const GLubyte* name = glGetString(GL_RENDERER);
    run.renderer = name ? reinterpret_cast<const char*>(name) : "";
    if (run.options.trace) traceWorld();
  }
  if (run.options.trace) trace(allocations);
  ++run.step;
  if (run.step >= run.options.steps) {
    if (run.options.allocationSites) printAllocationSites(1, 25);
    writeResult();
    glutLeaveMainLoop();  // GLUT then ends the process; the highscores are saved on the way
  }
}

// Turns the named changes back off; false for a name it does not know.
bool applyVariant(const std::string& variant) {
  for (std::size_t at = 0; at < variant.size();) {
    std::size_t comma = variant.find(',', at);
    if (comma == std::string::npos) comma = variant.size();
    std::string name = variant.substr(at, comma - at);
    if (name == "corner")
      faceViewOptions.offScreen = false;
    else if (name == "single-sample")
      faceViewOptions.windowSamples = false;
    else if (name == "no-culling")
      viewCulling = false;
    else if (name == "sky-first")
      sceneOptions.skyLast = false;
    else if (!name.empty()) {
      std::fprintf(stderr, "bench: unknown variant %s\n", name.c_str());
      return false;
    }
    at = comma + 1;
  }
  return true;
}

}  // namespace

extern "C" void __wrap_glutDisplayFunc(void (*callback)()) {
  run.gameDisplay = callback;
  run.windowNs = nanosecondsNow();
  __real_glutDisplayFunc(benchDisplay);
}

extern "C" void __wrap_glutSwapBuffers() {
  glFinish();
  Clock::time_point end = Clock::now();
  if (run.gameDisplay && run.displayMs.size() < run.displayMs.capacity()) run.displayMs.push_back(msBetween(run.displayStart, end));
  __real_glutSwapBuffers();
  if (run.swapMs.size() < run.swapMs.capacity()) run.swapMs.push_back(msBetween(end, Clock::now()));
}

int runChild(const ChildOptions& options) {
  run.options = options;
  run.childNs = nanosecondsNow();
  run.displayMs.reserve(static_cast<std::size_t>(options.steps));
  run.swapMs.reserve(static_cast<std::size_t>(options.steps));
  prepareAllocationCounting();
  if (options.allocationSites) recordAllocationSites();
  std::string geometry = std::to_string(options.width) + "x" + std::to_string(options.height);
  char program[] = "velmo_bench";
  char flag[] = "-geometry";
  std::vector<char> size(geometry.begin(), geometry.end());
  size.push_back('\0');
  char replay[] = "--replay";
  std::string flight = options.replayPath.empty() ? benchReplayPath : options.replayPath;
  std::vector<char> path(flight.c_str(), flight.c_str() + flight.size() + 1);
  char noAntialiasing[] = "--no-antialiasing";
  char* argv[] = {program, flag, size.data(), replay, path.data(), nullptr, nullptr};
  int argc = 5;
  if (options.noAntialiasing) argv[argc++] = noAntialiasing;
  if (!applyVariant(options.variant)) return 2;
  return runVelmo(argc, argv);
}
