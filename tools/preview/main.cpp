// preview: draws sculpt recordings, part directories and model files through the game's own code
// and writes one PNG per subject, the views side by side (front, side, top, chase).
//
//   preview [--size PIXELS] [--detail N] [--seed N] [--floor Y] [--in FOLDER] [--out FOLDER] PATH...
//
// Paths are taken inside --in (default: here), where model files find their part directories as
// the game does in its working directory. A part directory gives one picture per variant.
#include <GL/freeglut.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/random.h"
#include "tools/preview/preview.h"

namespace {

int usage() {
  std::fprintf(stderr,
               "usage: preview [--size PIXELS] [--detail N] [--seed N] [--floor Y] [--in FOLDER] [--out FOLDER] PATH...\n"
               "  draws each sculpt recording, part directory or model file from four angles into\n"
               "  FOLDER/<name>.png (default: the current folder)\n"
               "  --size    side of each view in pixels, 16..1024 (default 256)\n"
               "  --detail  sphere detail, 2..360 (default 20 for recordings, 50 for parts and models)\n"
               "  --seed    state of the random sequence that picks part variants (default 1, as the game)\n"
               "  --floor   cut away what lies below height Y in the model's own frame, as the game's\n"
               "            floor hides it (-6 for the mountains)\n");
  return 2;
}

bool real(const char* text, float& out) {
  char* end = nullptr;
  out = std::strtof(text, &end);
  return end != text && *end == '\0' && std::isfinite(out);
}

bool number(const char* text, long low, long high, long& out) {
  char* end = nullptr;
  out = std::strtol(text, &end, 10);
  return end != text && *end == '\0' && out >= low && out <= high;
}

}  // namespace

int main(int argc, char** argv) {
  long side = 256, detail = 0, seed = 1;
  bool hasFloor = false;
  float floorHeight = 0.0f;
  std::filesystem::path in = ".", out = ".";
  std::vector<std::string> paths;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--size" && hasValue) {
      if (!number(argv[++i], 16, 1024, side)) return usage();
    } else if (arg == "--detail" && hasValue) {
      if (!number(argv[++i], 2, 360, detail)) return usage();
    } else if (arg == "--seed" && hasValue) {
      if (!number(argv[++i], 0, 4294967295L, seed)) return usage();
    } else if (arg == "--floor" && hasValue) {
      if (!real(argv[++i], floorHeight)) return usage();
      hasFloor = true;
    } else if (arg == "--in" && hasValue) {
      in = argv[++i];
    } else if (arg == "--out" && hasValue) {
      out = argv[++i];
    } else if (arg.starts_with("--")) {
      return usage();
    } else {
      paths.push_back(arg);
    }
  }
  if (paths.empty()) return usage();

  std::error_code error;
  out = std::filesystem::absolute(out, error);
  std::filesystem::create_directories(out, error);
  if (error) {
    std::fprintf(stderr, "preview: cannot create %s: %s\n", out.string().c_str(), error.message().c_str());
    return 1;
  }
  std::filesystem::current_path(in, error);
  if (error) {
    std::fprintf(stderr, "preview: cannot enter %s: %s\n", in.string().c_str(), error.message().c_str());
    return 1;
  }
  if (!std::getenv("DISPLAY")) {
    std::fprintf(stderr, "preview: needs an X display (run it under Xvfb, e.g. xvfb-run)\n");
    return 1;
  }

  int glutArgc = 1;
  char name[] = "preview";
  char* glutArgv[] = {name, nullptr};
  glutInitWindowSize(static_cast<int>(side), static_cast<int>(side));
  glutInit(&glutArgc, glutArgv);
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutCreateWindow("velmo preview");

  int failures = 0;
  for (const std::string& path : paths) {
    try {
      sharedRandom = RandomSequence{static_cast<std::uint32_t>(seed)};
      for (PreviewSubject& subject : loadSubjects(path, static_cast<int>(detail))) {
        subject.hasFloor = hasFloor;
        subject.floorHeight = floorHeight;
        const std::vector<std::byte> png = encodePng(renderSheet(subject, static_cast<int>(side)));
        const std::filesystem::path file = out / (subject.name + ".png");
        if (png.empty()) throw PreviewError("cannot encode " + file.string());
        std::ofstream stream(file, std::ios::binary | std::ios::trunc);
        stream.write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
        stream.close();
        if (!stream) throw PreviewError("cannot write " + file.string());
        std::printf("%s\n", file.string().c_str());
      }
    } catch (const PreviewError& e) {
      std::fprintf(stderr, "preview: %s\n", e.what());
      ++failures;
    } catch (const std::bad_alloc&) {
      std::fprintf(stderr, "preview: %s: out of memory\n", path.c_str());
      ++failures;
    }
  }
  return failures ? 1 : 0;
}
