// Opening and reading the game's data files. Only a regular file is opened: a named pipe, a
// device or a folder in a data file's place is refused at once, never waited on.
#pragma once

#include <cstddef>
#include <cstdio>
#include <vector>

// The file opened for binary reading, or nullptr. `notRegular` tells a folder, pipe or device in
// the file's place from a path that could not be opened at all (errno then says why).
std::FILE* openDataFile(const char* path, bool& notRegular);

enum class DataRead {
  ok,          // `bytes` holds the whole file
  cannotOpen,  // no such file, or no access to it: `openError` holds errno
  notRegular,  // a folder, a pipe or a device stands in the file's place
  cannotRead,  // it opened, but reading it (or the memory for it) failed
  tooLarge,    // it holds more than the limit: `bytes` holds its first `limit` bytes
};

struct DataFile {
  DataRead status = DataRead::cannotOpen;
  std::vector<std::byte> bytes;  // empty unless ok or tooLarge
  int openError = 0;
  bool ok() const { return status == DataRead::ok; }
};

// Reads the whole file at `path` (none for a null path), or its first `limit` bytes where it is
// larger: never more than one byte past the limit is read.
DataFile readDataFile(const char* path, std::size_t limit);
