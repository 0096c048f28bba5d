// An advisory lock kept in a file of its own beside the data it guards ("h.bin.lock" beside
// "h.bin"): whoever holds it is the only one reading, merging and replacing that data. The lock
// file is created when missing, never through a link, holds no bytes and stays; the lock ends
// with its holder, a killed one included.
#pragma once

#include <cstdint>
#include <string>

class FileLock {
 public:
  FileLock() = default;
  ~FileLock() { release(); }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  // Takes the lock in the file `path`, trying for at most `waitMilliseconds`. Returns an empty
  // string, or why not (another holder all that time, a link or a folder in the file's place).
  std::string acquire(const std::string& path, int waitMilliseconds);
  void release();

 private:
  // One try, on the platform: true when held (handle_ set); false with `why` empty while another
  // holder has it, or with why it is refused.
  bool tryOnce(const std::string& path, std::string& why);

  std::intptr_t handle_ = -1;  // the lock file's descriptor or handle while held
};
