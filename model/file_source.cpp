// Reading the model files from disk or from memory.
#include "model/file_source.h"

#include <cstdio>
#include <memory>

#include "base/console.h"
#include "base/data_file.h"

bool staysInGameFolder(std::string_view path) {
  if (path.empty()) return true;
  if (path[0] == '/' || path[0] == '\\') return false;
  if (path.size() >= 2 && path[1] == ':') return false;  // a drive, on Windows
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = path.find_first_of("/\\", start);
    if (path.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start) == "..") return false;
    if (end == std::string_view::npos) return true;
    start = end + 1;
  }
}

FileRead DiskFiles::read(const std::string& path, std::size_t limit, std::vector<std::byte>& out) {
  out.clear();
  if (path.find('\0') != std::string::npos) return FileRead::cannotOpen;
  if (!staysInGameFolder(path)) {
    // A data file names this path; the game reads only its own folder.
    consolePrint(stderr, "Data file path %s leaves the game folder; it is not read\n", quotedName(path).c_str());
    return FileRead::cannotOpen;
  }
  bool notRegular = false;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(openDataFile(path.c_str(), notRegular), std::fclose);
  if (notRegular) return FileRead::cannotRead;  // like a folder: it is there, but holds no file to read
  if (!file) return FileRead::cannotOpen;
  std::byte buffer[8192];
  for (;;) {
    std::size_t got = std::fread(buffer, 1, sizeof buffer, file.get());
    if (got == 0) break;
    if (got > limit - out.size()) {
      out.clear();
      return FileRead::cannotRead;
    }
    out.insert(out.end(), buffer, buffer + got);
  }
  if (std::ferror(file.get())) {  // e.g. a folder opened as a file
    out.clear();
    return FileRead::cannotRead;
  }
  return FileRead::ok;
}

FileRead MemoryFiles::read(const std::string& path, std::size_t limit, std::vector<std::byte>& out) {
  out.clear();
  auto found = files.find(path);
  if (found == files.end()) return FileRead::cannotOpen;
  if (found->second.size() > limit) return FileRead::cannotRead;
  out = found->second;
  return FileRead::ok;
}

DiskFiles& diskFiles() {
  static DiskFiles disk;
  return disk;
}
