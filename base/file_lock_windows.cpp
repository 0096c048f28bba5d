// The lock on Windows: the lock file opened without sharing, which no one else can open until
// its holder closes it or ends.
#include "base/file_lock.h"

#include <windows.h>

#include "base/console.h"

std::string FileLock::acquire(const std::string& path, int waitMilliseconds) {
  release();
  const std::string quoted = quotedName(path);
  const ULONGLONG deadline = GetTickCount64() + static_cast<ULONGLONG>(waitMilliseconds);
  for (;;) {
    // FILE_FLAG_OPEN_REPARSE_POINT opens a link itself, which is then refused, never its target.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      BY_HANDLE_FILE_INFORMATION info;
      if (!GetFileInformationByHandle(file, &info) ||
          (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
        CloseHandle(file);
        return quoted + " is not a regular file";
      }
      handle_ = reinterpret_cast<std::intptr_t>(file);
      return {};
    }
    const DWORD error = GetLastError();
    if (error != ERROR_SHARING_VIOLATION) return quoted + ": cannot be opened (system error " + std::to_string(error) + ")";
    if (GetTickCount64() >= deadline)
      return "another game held " + quoted + " for " + std::to_string(waitMilliseconds) + " ms";
    Sleep(5);
  }
}

void FileLock::release() {
  if (handle_ == -1) return;
  CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = -1;
}
