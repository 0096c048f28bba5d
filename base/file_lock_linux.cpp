// The lock on POSIX: flock on the lock file, which the system drops when its holder ends.
#include "base/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "base/console.h"

std::string FileLock::acquire(const std::string& path, int waitMilliseconds) {
  release();
  const std::string quoted = quotedName(path);
  // O_NONBLOCK: a named pipe in the file's place must not hold the open.
  const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd < 0) return quoted + (errno == ELOOP ? " is a link, which is not followed" : ": " + std::string(std::strerror(errno)));
  struct stat status;
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    ::close(fd);
    return quoted + " is not a regular file";
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMilliseconds);
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
      handle_ = fd;
      return {};
    }
    if (errno != EWOULDBLOCK && errno != EINTR) {
      const int error = errno;
      ::close(fd);
      return quoted + ": " + std::strerror(error);
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      ::close(fd);
      return "another game held " + quoted + " for " + std::to_string(waitMilliseconds) + " ms";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

void FileLock::release() {
  if (handle_ < 0) return;
  ::close(static_cast<int>(handle_));  // drops the lock
  handle_ = -1;
}
