// The lock on POSIX: flock on the lock file, which the system drops when its holder ends.
#include "base/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "base/console.h"

bool FileLock::tryOnce(const std::string& path, std::string& why) {
  // O_NONBLOCK: a named pipe in the file's place must not hold the open.
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd < 0) {
    why = quotedName(path) + (errno == ELOOP ? " is a link, which is not followed" : ": " + std::string(std::strerror(errno)));
    return false;
  }
  struct stat status;
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(fd);
    why = quotedName(path) + " is not a regular file";
    return false;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
    handle_ = fd;
    return true;
  }
  const int error = errno;
  ::close(fd);
  if (error == EWOULDBLOCK || error == EINTR) return false;  // held by another, or interrupted: try again
  why = quotedName(path) + ": " + std::strerror(error);
  return false;
}

void FileLock::release() {
  if (handle_ < 0) return;
  ::close(static_cast<int>(handle_));  // drops the lock
  handle_ = -1;
}
