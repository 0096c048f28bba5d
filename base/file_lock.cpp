// Waiting for the lock: the platform tries, this side retries until the wait is over.
#include "base/file_lock.h"

#include <chrono>
#include <thread>

#include "base/console.h"

std::string FileLock::acquire(const std::string& path, int waitMilliseconds) {
  release();
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMilliseconds);
  for (;;) {
    std::string why;
    if (tryOnce(path, why)) return {};
    if (!why.empty()) return why;
    if (std::chrono::steady_clock::now() >= deadline)
      return "another game held " + quotedName(path) + " for " + std::to_string(waitMilliseconds) + " ms";
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}
