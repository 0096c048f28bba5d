// Where the model readers get their files: a path in, the file's bytes out. The game reads the
// disk; tests and fuzzing back it with files held in memory.
#pragma once

#include <cstddef>
#include <map>
#include <string>
#include <string_view>
#include <vector>

enum class FileRead {
  ok,          // `out` holds the whole file
  cannotOpen,  // no such file, or a path no file can have (an embedded zero byte)
  cannotRead,  // it opened, but reading failed or it holds more than the limit
};

// Why a file read with `limit` came back cannotRead, as a failure's reason.
std::string unreadableReason(std::size_t limit);

class FileSource {
 public:
  virtual ~FileSource() = default;
  // Reads the file at `path` into `out`; a file of more than `limit` bytes is not read.
  virtual FileRead read(const std::string& path, std::size_t limit, std::vector<std::byte>& out) = 0;
};

// Whether a path a data file gives stays inside the game folder: relative, with no ".."
// component, no drive ("C:") and no root, "/" and "\\" both counting as separators.
bool staysInGameFolder(std::string_view path);

// Files on disk, paths relative to the working directory. A path that leaves the game folder is
// never opened: it is refused with one line on standard error, as a file that is not there.
class DiskFiles : public FileSource {
 public:
  FileRead read(const std::string& path, std::size_t limit, std::vector<std::byte>& out) override;
};

// Files held in memory, looked up by their exact path.
class MemoryFiles : public FileSource {
 public:
  FileRead read(const std::string& path, std::size_t limit, std::vector<std::byte>& out) override;

  std::map<std::string, std::vector<std::byte>> files;  // path -> contents
};

// The files source the game itself uses.
DiskFiles& diskFiles();
