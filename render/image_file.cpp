// Reads an image file into memory in one piece, refusing files larger than the caller allows.
#include "render/image_file.h"

#include <cstdio>
#include <memory>

#include "base/data_file.h"

std::optional<std::vector<std::byte>> readWholeFile(const char* path, std::size_t maxBytes) {
  if (!path) return std::nullopt;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(openDataFile(path), std::fclose);
  if (!file) return std::nullopt;
  std::vector<std::byte> bytes;
  std::byte chunk[65536];
  for (;;) {
    std::size_t got = std::fread(chunk, 1, sizeof chunk, file.get());
    if (got > maxBytes - bytes.size()) return std::nullopt;
    bytes.insert(bytes.end(), chunk, chunk + got);
    if (got < sizeof chunk) break;
  }
  // A directory opens on Linux but cannot be read.
  if (std::ferror(file.get())) return std::nullopt;
  return bytes;
}
