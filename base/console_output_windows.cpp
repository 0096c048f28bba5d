// On Windows the game's bytes go out unchanged: a real console is switched to code page 1251,
// which shows them as they are meant; a file or a pipe gets the same Windows-1251 bytes with
// "\n" line ends (binary mode), so its ASCII lines match the Linux build's byte for byte.
#include "base/console_output.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {

bool isConsole(DWORD standardHandle) {
  HANDLE handle = GetStdHandle(standardHandle);
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetConsoleMode(handle, &mode);
}

}  // namespace

void prepareConsole() {
  const bool outConsole = isConsole(STD_OUTPUT_HANDLE);
  const bool errConsole = isConsole(STD_ERROR_HANDLE);
  if (outConsole || errConsole) SetConsoleOutputCP(1251);
  if (!outConsole) _setmode(_fileno(stdout), _O_BINARY);
  if (!errConsole) _setmode(_fileno(stderr), _O_BINARY);
}

void writeConsoleText(std::FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}
