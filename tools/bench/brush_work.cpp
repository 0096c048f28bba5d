// velmo_brush_bench: what the sculpt replays cost, in vertex visits and in processor time, for
// the game's own recordings and for the costliest kinds of recording a file could hold. The
// replay bounds (model/sculpt_format.h, model/model_file.h) are sized from its figures.
//   velmo_brush_bench --run-dir DIR [--detail N] [--kind NAME]
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "model/mesh.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/sculpt.h"
#include "model/sculpt_format.h"

namespace fs = std::filesystem;

namespace {

double processorSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// One replay onto a fresh sphere of the given detail, with the game's bounds, and its cost.
void measure(const std::string& name, int detail, const std::vector<std::byte>* bytes, const fs::path& runDir) {
  SphereMesh mesh;
  mesh.generate(detail);
  SculptRecorder recorder(&mesh);
  const double start = processorSeconds();
  if (bytes) {
    recorder.replayBytes(*bytes, name);
  } else {
    const fs::path here = fs::current_path();
    fs::current_path(runDir);
    recorder.replay(name);
    fs::current_path(here);
  }
  const double seconds = processorSeconds() - start;
  const double visits = static_cast<double>(sculpt::maxVertexVisits - recorder.vertexVisitsLeft());
  std::printf("%-58s %9.3f %8.3f %7.2f %s\n", name.c_str(), visits / 1e9, seconds,
              visits > 0 ? seconds * 1e9 / visits : 0.0, recorder.vertexVisitsLeft() == 0 ? "cut" : "");
  std::fflush(stdout);
}

// Records of one kind, as many as a recording may hold.
std::vector<std::byte> fill(const std::function<void(sculpt::Writer&, int)>& add) {
  sculpt::Writer w;
  for (int i = 0; w.bytes().size() + 100 < sculpt::maxRecordingBytes; ++i) add(w, i);
  return w.bytes();
}

// The ship, built from its model file with every part's own detail: its parts share one bound.
// Each build draws the parts' variants anew from the random sequence.
void measureShip(int detail, const fs::path& runDir) {
  std::vector<std::byte> file;
  if (diskFiles().read((runDir / "vorizozadi1").string(), modelfile::maxFileBytes, file) != FileRead::ok) {
    std::printf("%-58s cannot be read\n", "vorizozadi1");
    return;
  }
  const fs::path here = fs::current_path();
  fs::current_path(runDir);
  for (int build = 1; build <= 3; ++build) {
    ModelFileReader in(file, diskFiles(), detail);
    in.skip(modelfile::magic.size());
    const double start = processorSeconds();
    std::unique_ptr<ModelNode> root = ModelNode::read(in);
    const double seconds = processorSeconds() - start;
    const double visits = static_cast<double>(modelfile::maxBrushWork - in.brushWork);
    std::printf("%-58s %9.3f %8.3f %7.2f  of %.3f\n", ("the ship, build " + std::to_string(build)).c_str(), visits / 1e9,
                seconds, visits > 0 ? seconds * 1e9 / visits : 0.0, static_cast<double>(modelfile::maxBrushWork) / 1e9);
  }
  fs::current_path(here);
}

struct Kind {
  const char* name;
  std::vector<std::byte> bytes;
};

// The kinds of work a recording can ask for, each at its costliest per ball.
std::vector<Kind> costlyKinds() {
  const Colour red{1, 0, 0, 1}, blue{0, 0, 1, 1};
  return {
      {"pushes that move every vertex",
       fill([](sculpt::Writer& w, int i) { w.push({0, 0, 0, 1.5f + 0.001f * static_cast<float>(i)}); })},
      // Each push moves the flattened mesh a unit along x and out of the grid's box: the grid is
      // built again for every ball.
      {"pushes that move every vertex out of the grid",
       fill([](sculpt::Writer& w, int i) {
         w.push(i % 2 ? BrushPoint{-1001.5f, 0, 0, 1001} : BrushPoint{1000, 0, 0, 1001.5f});
       })},
      {"paints of every vertex", fill([&](sculpt::Writer& w, int i) { w.paint({0, 0, 0, 100}, i % 2 ? red : blue); })},
      {"push strokes whose every ball moves every vertex",
       fill([](sculpt::Writer& w, int) { w.pushStroke({0, 0, 0, 1.5f}, {0, 0, 0.0001f, 1.5f}); })},
      {"push strokes whose balls grow through every vertex",
       fill([](sculpt::Writer& w, int i) {
         const float r = 1.5f + 0.1f * static_cast<float>(i);
         w.pushStroke({0, 0, 0, r}, {0, 0, 0.0001f, r + 0.1f});
       })},
      {"paint strokes whose every ball paints every vertex",
       fill([&](sculpt::Writer& w, int) { w.paintStroke({0, 0, 0, 100}, red, {0, 0, 0.0001f, 100}, blue); })},
      {"push strokes far from every vertex",
       fill([](sculpt::Writer& w, int) { w.pushStroke({50, 50, 50, 1}, {50, 50, 50.0001f, 1}); })},
  };
}

}  // namespace

int main(int argc, char** argv) {
  fs::path runDir;
  int detail = 360;
  std::string only;
  for (int i = 1; i < argc; ++i) {
    const bool hasValue = i + 1 < argc;
    if (std::strcmp(argv[i], "--run-dir") == 0 && hasValue)
      runDir = argv[++i];
    else if (std::strcmp(argv[i], "--detail") == 0 && hasValue)
      detail = std::atoi(argv[++i]);
    else if (std::strcmp(argv[i], "--kind") == 0 && hasValue)
      only = argv[++i];
    else {
      std::fprintf(stderr, "usage: velmo_brush_bench --run-dir DIR [--detail N] [--kind NAME]\n");
      return 1;
    }
  }
  if (runDir.empty() || detail < 2) {
    std::fprintf(stderr, "usage: velmo_brush_bench --run-dir DIR [--detail N] [--kind NAME]\n");
    return 1;
  }
  std::printf("detail %d; bound per replay %.3f x 10^9 visits\n", detail, static_cast<double>(sculpt::maxVertexVisits) / 1e9);
  std::printf("%-58s %9s %8s %7s\n", "recording", "visits/1e9", "cpu s", "ns/visit");
  if (only.empty()) {
    std::vector<std::string> shipped = {"mountain/_mountain4", "mountain/_mountain5"};
    std::vector<std::string> parts;
    for (const auto& entry : fs::recursive_directory_iterator(runDir / "ship"))
      if (entry.is_regular_file() && entry.path().filename() != "files.txt")
        parts.push_back(fs::relative(entry.path(), runDir).string());
    std::sort(parts.begin(), parts.end());
    shipped.insert(shipped.end(), parts.begin(), parts.end());
    for (const std::string& path : shipped) measure(path, detail, nullptr, runDir);
    measureShip(detail, runDir);
  }
  for (const Kind& kind : costlyKinds())
    if (only.empty() || only == kind.name) measure(kind.name, detail, &kind.bytes, runDir);
  return 0;
}
