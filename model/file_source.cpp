// Reading the model files from disk or from memory.
#include "model/file_source.h"

#include <utility>

#include "base/console.h"
#include "base/data_file.h"

std::string unreadableReason(std::size_t limit) {
  return "cannot be read: not a regular file, a read error, or over " + std::to_string(limit >> 20) + " MB";
}

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
  DataFile file = readDataFile(path.c_str(), limit);
  // A folder in the file's place is there but cannot be read, as a file larger than the limit.
  if (file.status == DataRead::cannotOpen) return FileRead::cannotOpen;
  if (!file.ok()) return FileRead::cannotRead;
  out = std::move(file.bytes);
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
