// Durable replacement on POSIX: fsync, rename, then fsync of the folder that holds the name.
#include "base/durable_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace {

// Makes a finished rename durable; a directory that cannot be synced changes nothing.
void syncDirectoryOf(const char* path) {
  std::filesystem::path directory = std::filesystem::path(path).parent_path();
  int fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

int syncToDisk(std::FILE* file) { return ::fsync(::fileno(file)) == 0 ? 0 : errno; }

int replaceFile(const char* temporary, const char* path) {
  if (std::rename(temporary, path) != 0) return errno;
  syncDirectoryOf(path);
  return 0;
}
