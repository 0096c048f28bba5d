// Durable replacement on POSIX: an exclusive new file, fsync, rename, then fsync of the folder.
#include "base/durable_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "base/console.h"

namespace {

// Makes a finished rename durable; a directory that cannot be synced changes nothing.
void syncDirectoryOf(const std::string& path) {
  std::filesystem::path directory = std::filesystem::path(path).parent_path();
  int fd = ::open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

std::string failed(const char* what, const std::string& path, int error) {
  return std::string(what) + " " + quotedName(path) + ": " + std::strerror(error);
}

}  // namespace

std::string replaceFileContents(const std::string& path, std::span<const std::byte> bytes) {
  struct stat old;
  const bool replacing = ::stat(path.c_str(), &old) == 0 && S_ISREG(old.st_mode);
  std::string temporary;
  int fd = -1;
  // A name left by a game killed in its save, or put there by anyone, is never opened: O_EXCL
  // refuses an existing name, a link included, and the next number is tried.
  for (int n = 0; n < 100 && fd < 0; ++n) {
    temporary = path + ".tmp." + std::to_string(::getpid()) + "." + std::to_string(n);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return failed("cannot create", temporary, errno);
  std::string failure;
  std::size_t done = 0;
  while (failure.empty() && done < bytes.size()) {
    const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (wrote < 0 && errno == EINTR) continue;
    if (wrote <= 0) failure = failed("cannot write", temporary, wrote < 0 ? errno : ENOSPC);
    else done += static_cast<std::size_t>(wrote);
  }
  if (failure.empty() && replacing) ::fchmod(fd, old.st_mode & 0777);  // the player's choice of who may read it
  if (failure.empty() && ::fsync(fd) != 0) failure = failed("cannot write", temporary, errno);
  if (::close(fd) != 0 && failure.empty()) failure = failed("cannot write", temporary, errno);
  if (failure.empty() && std::rename(temporary.c_str(), path.c_str()) != 0)
    failure = failed("cannot rename the new file over", path, errno);
  if (!failure.empty()) {
    ::unlink(temporary.c_str());
    return failure;
  }
  syncDirectoryOf(path);
  return {};
}

bool isReadOnlyFile(const std::string& path) {
  struct stat status;
  if (::stat(path.c_str(), &status) != 0) return false;
  if ((status.st_mode & 0222) == 0) return true;  // also for root, who could write it anyway
  return ::access(path.c_str(), W_OK) != 0 && (errno == EACCES || errno == EROFS);
}

std::FILE* openOutputFile(const std::string& path, std::string& reason) {
  // O_NONBLOCK: opening a named pipe that no one reads fails at once instead of waiting.
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd < 0) {
    reason = errno == ENXIO ? "a named pipe that no one reads" : std::strerror(errno);
    return nullptr;
  }
  struct stat status;
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(fd);
    reason = "not a regular file";
    return nullptr;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (::ftruncate(fd, 0) != 0 || flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    reason = std::strerror(errno);
    ::close(fd);
    return nullptr;
  }
  std::FILE* file = ::fdopen(fd, "wb");
  if (!file) {
    reason = std::strerror(errno);
    ::close(fd);
  }
  return file;
}
