// Opening data files on Windows: a folder does not open as a file there (the C library says
// "Permission denied"), so a path that fails to open is looked at to tell a folder, as on Linux; no
// named pipe can stand in a data folder, but a device name ("CON", "NUL") can; the open file is
// examined, so only a regular file is read.
#include "base/data_file.h"

#include <cerrno>

#include <sys/stat.h>
#include <sys/types.h>

std::FILE* openDataFile(const char* path, bool& notRegular) {
  notRegular = false;
  std::FILE* file = std::fopen(path, "rb");
  if (!file) {
    const int openError = errno;
    struct _stat64 status;
    if (_stat64(path, &status) == 0 && (status.st_mode & _S_IFMT) == _S_IFDIR) notRegular = true;
    errno = openError;
    return nullptr;
  }
  struct _stat64 status;
  if (_fstat64(_fileno(file), &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG) {
    notRegular = true;
    std::fclose(file);
    return nullptr;
  }
  return file;
}
