// Opening the game's data files for reading. Only a regular file is opened: a named pipe, a
// device or a folder in a data file's place is refused at once, never waited on.
#pragma once

#include <cstdio>

// The file opened for binary reading, or nullptr. `notRegular` tells a path that opened but is
// not a regular file from one that could not be opened at all.
std::FILE* openDataFile(const char* path, bool& notRegular);
inline std::FILE* openDataFile(const char* path) {
  bool notRegular;
  return openDataFile(path, notRegular);
}
