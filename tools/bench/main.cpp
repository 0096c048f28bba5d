// velmo_bench: plays the benchmark replay in the real game once per window size, each run in a
// process of its own started in a scratch copy of the game's working directory, and prints
// one table of the figures and writes them as CSV.
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/console.h"
#include "app/replay.h"
#include "app/session.h"
#include "tools/bench/child.h"
#include "tools/bench/flight_script.h"
#include "tools/bench/stats.h"

namespace fs = std::filesystem;

namespace {

struct Size {
  int width, height;
};

struct Figures {
  Size size{};
  double startupMs = 0, median = 0, p95 = 0, worst = 0, swap = 0, peakMb = 0;
  double load = 0;  // one-minute load average when the run started
  int displays = 0;
  unsigned long long allocGame = 0, allocGlu = 0, allocOther = 0, allocSteps = 0;
  int collected = 0, crashes = 0, timeouts = 0, restarts = 0;
  std::string renderer;
  std::string details;  // "landscape/ship" written to config.txt, or empty for the run folder's own
};

const char* const csvHeader =
    "width,height,run,startup_ms,displays,median_ms,p95_ms,worst_ms,swap_median_ms,peak_rss_mb,"
    "step_allocs_game,step_allocs_glu,step_allocs_other,allocating_steps,collected,crashes,timeouts,restarts,load1,details";

void usage() {
  std::fprintf(stderr,
               "usage: velmo_bench --run-dir DIR [--csv FILE] [--repeat N] [--steps N] [--sizes WxH,...] [--details L/S,...]\n"
               "                   [--trace] [--allocation-sites] [--no-antialiasing] [--variant corner,single-sample,no-culling,sky-first]\n");
}

bool parseSize(const char* text, Size& size) {
  return std::sscanf(text, "%dx%d", &size.width, &size.height) == 2 && size.width > 0 && size.height > 0;
}

long long nanosecondsNow() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

bool readFigures(const fs::path& path, Figures& f) {
  std::ifstream in(path);
  std::string line;
  if (!std::getline(in, line)) return false;
  int n = std::sscanf(line.c_str(), "%d,%d,%lf,%d,%lf,%lf,%lf,%lf,%lf,%llu,%llu,%llu,%llu,%d,%d,%d,%d",
                      &f.size.width, &f.size.height, &f.startupMs, &f.displays, &f.median, &f.p95, &f.worst,
                      &f.swap, &f.peakMb, &f.allocGame, &f.allocGlu, &f.allocOther, &f.allocSteps, &f.collected,
                      &f.crashes, &f.timeouts, &f.restarts);
  std::getline(in, f.renderer);
  return n == 17;
}

// One CSV row; `run` is the run's number, or "median" for the row of medians over the runs.
std::string csvRow(const Figures& f, const std::string& run) {
  char line[512];
  std::snprintf(line, sizeof line, "%d,%d,%s,%.2f,%d,%.3f,%.3f,%.3f,%.3f,%.1f,%llu,%llu,%llu,%llu,%d,%d,%d,%d,%.2f,%s",
                f.size.width, f.size.height, run.c_str(), f.startupMs, f.displays, f.median, f.p95, f.worst, f.swap,
                f.peakMb, f.allocGame, f.allocGlu, f.allocOther, f.allocSteps, f.collected, f.crashes, f.timeouts,
                f.restarts, f.load, f.details.c_str());
  return line;
}

// Writes the replay at `from` to `to` with the landscape and ship details of `details` ("L/S").
bool writeReplayWithDetails(const fs::path& from, const std::string& details, const fs::path& to) {
  Replay replay;
  std::string reason;
  if (loadReplayFile(from.string(), replay, reason) &&
      std::sscanf(details.c_str(), "%d/%d", &replay.header.config.landscapeDetail, &replay.header.config.shipDetail) != 2)
    reason = "bad details " + details + " for " + from.string();
  if (!reason.empty()) {
    std::fprintf(stderr, "bench: %s\n", reason.c_str());
    return false;
  }
  std::vector<std::byte> out;
  encodeReplayHeader(replay.header, out);
  for (const ReplayEvent& event : replay.events) encodeReplayEvent(event, out);
  std::ofstream file(to, std::ios::binary);
  file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  if (!file.flush()) {
    std::fprintf(stderr, "bench: cannot write %s\n", to.c_str());
    return false;
  }
  return true;
}

// Runs one size in a fresh copy of the working directory; false when the run failed.
// Options the driver hands on to every run unchanged.
struct PassedOn {
  bool noAntialiasing = false;
  bool allocationSites = false;
  std::string variant;
};

bool runOnce(const fs::path& runDir, Size size, int steps, bool trace, const PassedOn& passed, Figures& figures) {
  char pattern[] = "/tmp/velmo-bench-XXXXXX";
  if (!mkdtemp(pattern)) return false;
  fs::path scratch = pattern;
  std::error_code error;
  fs::copy(runDir, scratch, fs::copy_options::recursive | fs::copy_options::overwrite_existing, error);
  if (error) {
    std::fprintf(stderr, "bench: cannot copy %s: %s\n", runDir.c_str(), error.message().c_str());
    fs::remove_all(scratch, error);
    return false;
  }
  // A replay brings its own details and the game then reads no config.txt: the flight is
  // written again into the scratch folder with the details asked for in its header.
  std::string replayPath = benchReplayPath;
  if (!figures.details.empty()) {
    fs::path rewritten = scratch / "bench-flight.vrp";
    if (!writeReplayWithDetails(benchReplayPath, figures.details, rewritten)) {
      fs::remove_all(scratch, error);
      return false;
    }
    replayPath = rewritten.string();
  }
  fs::path result = scratch / "bench-result.csv";
  std::string self = fs::read_symlink("/proc/self/exe").string();
  std::string sizeText = std::to_string(size.width) + "x" + std::to_string(size.height);
  std::string stepsText = std::to_string(steps);
  double load[1] = {0};
  getloadavg(load, 1);
  figures.load = load[0];
  long long start = nanosecondsNow();
  std::string startText = std::to_string(start);
  pid_t child = fork();
  if (child == 0) {
    if (chdir(scratch.c_str()) != 0) _exit(127);
    std::vector<const char*> args = {self.c_str(), "--child", sizeText.c_str(), "--result", result.c_str(),
                                     "--start", startText.c_str(), "--steps", stepsText.c_str(),
                                     "--replay", replayPath.c_str()};
    if (trace) args.push_back("--trace");
    if (passed.noAntialiasing) args.push_back("--no-antialiasing");
    if (passed.allocationSites) args.push_back("--allocation-sites");
    if (!passed.variant.empty()) {
      args.push_back("--variant");
      args.push_back(passed.variant.c_str());
    }
    args.push_back(nullptr);
    execv(self.c_str(), const_cast<char* const*>(args.data()));
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  double startLoad = figures.load;
  std::string details = figures.details;
  bool ok = readFigures(result, figures);
  figures.load = startLoad;
  figures.details = details;
  if (!ok) std::fprintf(stderr, "bench: the %s run gave no figures (status %d)\n", sizeText.c_str(), status);
  fs::remove_all(scratch, error);
  return ok;
}

int driver(int argc, char** argv) {
  fs::path runDir, csvPath = "bench.csv";
  int repeat = 1, steps = benchSteps;
  bool trace = false;
  PassedOn passed;
  std::vector<Size> sizes = {{300, 300}, {800, 600}, {1024, 768}};
  std::vector<std::string> details = {""};
  for (int i = 1; i < argc; ++i) {
    std::string a = argv[i];
    bool hasValue = i + 1 < argc;
    if (a == "--run-dir" && hasValue)
      runDir = argv[++i];
    else if (a == "--csv" && hasValue)
      csvPath = argv[++i];
    else if (a == "--repeat" && hasValue)
      repeat = std::max(1, std::atoi(argv[++i]));
    else if (a == "--steps" && hasValue)
      steps = std::max(1, std::atoi(argv[++i]));
    else if (a == "--trace")
      trace = true;
    else if (a == "--no-antialiasing")
      passed.noAntialiasing = true;
    else if (a == "--allocation-sites")
      passed.allocationSites = true;
    else if (a == "--variant" && hasValue)
      passed.variant = argv[++i];
    else if (a == "--details" && hasValue) {
      details.clear();
      std::string list = argv[++i];
      for (std::size_t at = 0, comma; at <= list.size(); at = comma + 1) {
        comma = std::min(list.find(',', at), list.size());
        int landscape = 0, ship = 0;
        char end = 0;
        if (std::sscanf(list.substr(at, comma - at).c_str(), "%d/%d%c", &landscape, &ship, &end) != 2) {
          usage();
          return 2;
        }
        details.push_back(std::to_string(landscape) + "/" + std::to_string(ship));
      }
    } else if (a == "--sizes" && hasValue) {
      sizes.clear();
      std::string list = argv[++i];
      for (std::size_t at = 0; at <= list.size();) {
        std::size_t comma = list.find(',', at);
        if (comma == std::string::npos) comma = list.size();
        Size s{};
        if (!parseSize(list.substr(at, comma - at).c_str(), s)) {
          usage();
          return 2;
        }
        sizes.push_back(s);
        at = comma + 1;
      }
    } else {
      usage();
      return 2;
    }
  }
  if (runDir.empty() || !fs::is_regular_file(runDir / "vorizozadi1")) {
    std::fprintf(stderr, "bench: --run-dir must name the game's working directory (with vorizozadi1)\n");
    usage();
    return 2;
  }

  std::ofstream csv(csvPath);
  if (!csv) {
    std::fprintf(stderr, "bench: cannot write %s\n", csvPath.c_str());
    return 2;
  }
  csv << csvHeader << "\n";
  std::vector<Figures> summary;
  std::string renderer;
  double startLoad[3] = {0, 0, 0};
  getloadavg(startLoad, 3);
  bool failed = false;
  for (const std::string& detail : details)
  for (Size size : sizes) {
    std::vector<Figures> runs;
    for (int r = 0; r < repeat; ++r) {
      Figures f;
      f.details = detail;
      if (!runOnce(runDir, size, steps, trace, passed, f)) {
        failed = true;
        continue;
      }
      renderer = f.renderer;
      csv << csvRow(f, std::to_string(r + 1)) << "\n";
      runs.push_back(f);
    }
    if (runs.empty()) continue;
    // Each figure of the table is the median over the runs of this size.
    auto median = [&runs](auto field) {
      std::vector<double> v;
      for (const Figures& f : runs) v.push_back(static_cast<double>(f.*field));
      return medianOf(v);
    };
    Figures m = runs.front();
    m.startupMs = median(&Figures::startupMs);
    m.median = median(&Figures::median);
    m.p95 = median(&Figures::p95);
    m.worst = median(&Figures::worst);
    m.swap = median(&Figures::swap);
    m.peakMb = median(&Figures::peakMb);
    m.load = median(&Figures::load);
    m.allocGame = static_cast<unsigned long long>(median(&Figures::allocGame));
    m.allocGlu = static_cast<unsigned long long>(median(&Figures::allocGlu));
    m.allocOther = static_cast<unsigned long long>(median(&Figures::allocOther));
    m.allocSteps = static_cast<unsigned long long>(median(&Figures::allocSteps));
    csv << csvRow(m, "median") << "\n";
    summary.push_back(m);
  }

  double load[3] = {0, 0, 0};
  getloadavg(load, 3);
  consolePrint(stdout,
               "velmo_bench: %d displays per run, %d run(s) per size, renderer %s\n"
               "load average %.2f %.2f %.2f at the start, %.2f %.2f %.2f at the end; each figure is the median over "
               "the runs\n",
               steps, repeat, renderer.c_str(), startLoad[0], startLoad[1], startLoad[2], load[0], load[1], load[2]);
  consolePrint(stdout, "%-18s %10s %9s %9s %9s %9s %8s %15s %18s\n", "window details", "start-up", "median", "p95", "worst",
               "swap", "peak", "allocs in steps", "collect/crash/t-o");
  consolePrint(stdout, "%-18s %10s %9s %9s %9s %9s %8s %15s %18s\n", "", "ms", "ms", "ms", "ms", "ms", "MB",
              "game/glu/other", "/restart");
  for (const Figures& f : summary) {
    char window[32], allocs[48], events[48];
    std::snprintf(window, sizeof window, "%dx%d %s", f.size.width, f.size.height, f.details.c_str());
    std::snprintf(allocs, sizeof allocs, "%llu/%llu/%llu", f.allocGame, f.allocGlu, f.allocOther);
    std::snprintf(events, sizeof events, "%d/%d/%d/%d", f.collected, f.crashes, f.timeouts, f.restarts);
    consolePrint(stdout, "%-18s %10.1f %9.2f %9.2f %9.2f %9.2f %8.1f %15s %18s\n", window, f.startupMs, f.median, f.p95,
                f.worst, f.swap, f.peakMb, allocs, events);
  }
  consolePrint(stdout, "CSV: %s\n", csvPath.c_str());
  return failed ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--child") == 0) {
    ChildOptions options;
    Size size{};
    if (argc < 3 || !parseSize(argv[2], size)) return 2;
    options.width = size.width;
    options.height = size.height;
    for (int i = 3; i < argc; ++i) {
      std::string a = argv[i];
      if (a == "--result" && i + 1 < argc)
        options.resultPath = argv[++i];
      else if (a == "--start" && i + 1 < argc)
        options.startNs = std::atoll(argv[++i]);
      else if (a == "--steps" && i + 1 < argc)
        options.steps = std::max(1, std::atoi(argv[++i]));
      else if (a == "--trace")
        options.trace = true;
      else if (a == "--allocation-sites")
        options.allocationSites = true;
      else if (a == "--no-antialiasing")
        options.noAntialiasing = true;
      else if (a == "--variant" && i + 1 < argc)
        options.variant = argv[++i];
      else if (a == "--replay" && i + 1 < argc)
        options.replayPath = argv[++i];
    }
    return runChild(options);
  }
  return driver(argc, argv);
}
