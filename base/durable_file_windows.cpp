// Durable replacement on Windows: a file created only if new (CREATE_NEW never opens an existing
// name, a link included), flushed, then moved over the old one with MoveFileExA, which replaces
// it and returns only once the move is on the disk.
#include "base/durable_file.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdint>

#include "base/console.h"

namespace {

std::string systemText(DWORD error) {
  char text[256] = {};
  DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, text,
                                sizeof text, nullptr);
  while (length > 0 && (text[length - 1] == '\r' || text[length - 1] == '\n' || text[length - 1] == '.')) --length;
  return length > 0 ? std::string(text, length) : "system error " + std::to_string(error);
}

std::string failed(const char* what, const std::string& path, DWORD error) {
  return std::string(what) + " " + quotedName(path) + ": " + systemText(error);
}

}  // namespace

std::string replaceFileContents(const std::string& path, std::span<const std::byte> bytes) {
  std::string temporary;
  HANDLE file = INVALID_HANDLE_VALUE;
  for (int n = 0; n < 100; ++n) {
    temporary = path + ".tmp." + std::to_string(GetCurrentProcessId()) + "." + std::to_string(n);
    file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) break;
  }
  if (file == INVALID_HANDLE_VALUE) return failed("cannot create", temporary, GetLastError());
  std::string failure;
  DWORD wrote = 0;
  if (!WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote, nullptr) || wrote != bytes.size())
    failure = failed("cannot write", temporary, GetLastError());
  if (failure.empty() && !FlushFileBuffers(file)) failure = failed("cannot write", temporary, GetLastError());
  CloseHandle(file);
  if (failure.empty() &&
      !MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    failure = failed("cannot move the new file over", path, GetLastError());
  if (!failure.empty()) DeleteFileA(temporary.c_str());
  return failure;
}

bool isReadOnlyFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

std::FILE* openOutputFile(const std::string& path, std::string& reason) {
  // A folder does not open as a file here and no named pipe stands in a folder, but a device
  // name ("CON", "NUL") does: the file opened is examined before anything is written.
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                            nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    reason = systemText(GetLastError());
    return nullptr;
  }
  if (GetFileType(file) != FILE_TYPE_DISK) {
    CloseHandle(file);
    reason = "not a regular file";
    return nullptr;
  }
  if (!SetEndOfFile(file)) {
    reason = systemText(GetLastError());
    CloseHandle(file);
    return nullptr;
  }
  const int fd = _open_osfhandle(reinterpret_cast<std::intptr_t>(file), _O_WRONLY | _O_BINARY);
  std::FILE* stream = fd >= 0 ? _fdopen(fd, "wb") : nullptr;
  if (!stream) {
    reason = "cannot be opened";
    if (fd >= 0) _close(fd);
    else CloseHandle(file);
  }
  return stream;
}
