// One measured run of the game in a window of one size; the benchmark starts one process each.
#pragma once

#include <string>

struct ChildOptions {
  int width = 300;            // window size, pixels
  int height = 300;
  int steps = 300;            // displays to run before the result is written
  long long startNs = 0;      // steady-clock time at which the run was started, ns
  std::string resultPath;     // where the figures are written
  bool trace = false;         // print the flight and the world, for writing the script
  bool allocationSites = false;  // print where the allocations in steps come from
  bool noAntialiasing = false;   // the game gets --no-antialiasing
  std::string replayPath;        // the flight played
  std::string variant;           // comma-separated switches back to an older way of drawing
                                 // (corner, no-culling), for measuring each change
};

// Starts the game in the current directory and runs it; the figures of the run go to
// options.resultPath as one CSV line followed by the renderer's name.
int runChild(const ChildOptions& options);
