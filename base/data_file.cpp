// Reading a whole data file into memory, bounded, over the platform's openDataFile.
#include "base/data_file.h"

#include <cerrno>
#include <memory>
#include <new>

DataFile readDataFile(const char* path, std::size_t limit) {
  DataFile result;
  if (!path) return result;
  bool notRegular = false;
  errno = 0;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(openDataFile(path, notRegular), std::fclose);
  if (!file) {
    result.openError = errno;
    result.status = notRegular ? DataRead::notRegular : DataRead::cannotOpen;
    return result;
  }
  std::vector<std::byte>& bytes = result.bytes;
  std::byte chunk[16 * 1024];
  try {
    for (;;) {
      // One byte past the limit tells a larger file.
      const std::size_t left = limit - bytes.size();
      const std::size_t want = left < sizeof chunk ? left + 1 : sizeof chunk;
      const std::size_t got = std::fread(chunk, 1, want, file.get());
      if (got > left) {
        bytes.insert(bytes.end(), chunk, chunk + left);
        result.status = DataRead::tooLarge;
        return result;
      }
      bytes.insert(bytes.end(), chunk, chunk + got);
      if (got < want) break;
    }
  } catch (const std::bad_alloc&) {
    bytes = {};
    result.status = DataRead::cannotRead;
    return result;
  }
  if (std::ferror(file.get())) {
    bytes = {};
    result.status = DataRead::cannotRead;
    return result;
  }
  result.status = DataRead::ok;
  return result;
}
