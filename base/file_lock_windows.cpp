// The lock on Windows: the lock file opened without sharing, which no one else can open until
// its holder closes it or ends.
#include "base/file_lock.h"

#include <windows.h>

#include "base/console.h"

bool FileLock::tryOnce(const std::string& path, std::string& why) {
  // FILE_FLAG_OPEN_REPARSE_POINT opens a link itself, which is then refused, never its target.
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    if (error == ERROR_SHARING_VIOLATION) return false;  // another holder: try again
    why = quotedName(path) + ": cannot be opened (system error " + std::to_string(error) + ")";
    return false;
  }
  BY_HANDLE_FILE_INFORMATION info;
  if (!GetFileInformationByHandle(file, &info) ||
      (info.dwFileAttributes & (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    CloseHandle(file);
    why = quotedName(path) + " is not a regular file";
    return false;
  }
  handle_ = reinterpret_cast<std::intptr_t>(file);
  return true;
}

void FileLock::release() {
  if (handle_ == -1) return;
  CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = -1;
}
