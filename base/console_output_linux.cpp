// Terminals on Linux speak UTF-8, so the game's text is converted on its way out.
#include "base/console_output.h"

#include <string>

#include "base/console.h"

void prepareConsole() {}

void writeConsoleText(std::FILE* stream, std::string_view text) {
  std::string utf8 = cp1251ToUtf8(text);
  std::fwrite(utf8.data(), 1, utf8.size(), stream);
  std::fflush(stream);
}
