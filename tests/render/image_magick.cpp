// Runs ImageMagick's convert for the reader tests.
#include "tests/render/image_magick.h"

#include <sys/wait.h>

#include <algorithm>

#include <cstdio>

std::string shellQuoted(const std::filesystem::path& path) {
  std::string quoted = "'";
  for (char c : path.string()) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::optional<std::vector<std::uint8_t>> runConvert(const std::string& arguments, bool keepPartial) {
  std::string command = "convert " + arguments + " 2>/dev/null";
  std::FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return std::nullopt;
  std::vector<std::uint8_t> out;
  std::uint8_t chunk[65536];
  for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, pipe)) > 0;) out.insert(out.end(), chunk, chunk + got);
  int status = ::pclose(pipe);
  bool succeeded = status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  if (!succeeded && !(keepPartial && !out.empty())) return std::nullopt;
  return out;
}

bool imageMagickAvailable() {
  static const bool available = runConvert("-size 1x1 xc:red -depth 8 rgb:-").has_value();
  return available;
}

std::optional<std::vector<std::uint8_t>> referencePixels(const std::filesystem::path& file, const char* channels,
                                                          bool autoOrient, bool keepPartial) {
  return runConvert(shellQuoted(file) + (autoOrient ? " -auto-orient" : "") + " -depth 8 " + channels + ":-",
                    keepPartial);
}

std::vector<std::uint8_t> flipRows(const std::vector<std::uint8_t>& pixels, std::size_t rowBytes) {
  std::vector<std::uint8_t> flipped(pixels.size());
  std::size_t rows = rowBytes ? pixels.size() / rowBytes : 0;
  for (std::size_t r = 0; r < rows; ++r)
    std::copy_n(pixels.begin() + std::ptrdiff_t(r * rowBytes), rowBytes,
                flipped.begin() + std::ptrdiff_t((rows - 1 - r) * rowBytes));
  return flipped;
}
