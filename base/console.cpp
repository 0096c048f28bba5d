// Console output from the game's Windows-1251 text, and the start-up progress stamp.
#include "base/console.h"

#include <cstdarg>
#include <vector>

#include "base/console_output.h"
#include "base/local_time.h"
#include "base/text1251.h"

std::string cp1251ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char ch : text) {
    char32_t c = cp1251::toCodePoint(static_cast<unsigned char>(ch));
    if (c == 0 && ch != 0) c = 0xFFFD;
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::string printableName(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (char ch : name) {
    const unsigned char c = static_cast<unsigned char>(ch);
    if (c >= 0x20 && c != 0x7F) {
      out += ch;
      continue;
    }
    static const char hex[] = "0123456789ABCDEF";
    out += "\\x";
    out += hex[c >> 4];
    out += hex[c & 0xF];
  }
  return out;
}

std::string quotedName(std::string_view name) {
  std::string out(1, '"');
  out += printableName(name);
  out += '"';
  return out;
}

namespace {
thread_local HeldConsole* heldConsole = nullptr;
}  // namespace

void consolePrint(std::FILE* stream, const char* format, ...) {
  char small[512];
  std::va_list args;
  va_start(args, format);
  std::va_list again;
  va_copy(again, args);
  int length = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (length < 0) {
    va_end(again);
    return;
  }
  std::string_view text;
  std::vector<char> large;
  if (static_cast<std::size_t>(length) < sizeof small) {
    text = std::string_view(small, static_cast<std::size_t>(length));
  } else {
    large.resize(static_cast<std::size_t>(length) + 1);
    std::vsnprintf(large.data(), large.size(), format, again);
    text = std::string_view(large.data(), static_cast<std::size_t>(length));
  }
  va_end(again);
  if (heldConsole) {
    heldConsole->lines.push_back({stream, std::string(text)});
    return;
  }
  writeConsoleText(stream, text);
}

void HeldConsole::start() {
  outer = heldConsole;
  heldConsole = this;
}

void HeldConsole::stop() { heldConsole = outer; }

void HeldConsole::release() {
  for (const Line& line : lines) consolePrint(line.stream, "%s", line.text.c_str());
  lines.clear();
}

std::string formatStamp(const std::tm& t) {
  static const char* const days[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  char text[64];
  std::snprintf(text, sizeof text, "%s %s %02d %02d:%02d:%02d %d", days[(t.tm_wday % 7 + 7) % 7],
                months[(t.tm_mon % 12 + 12) % 12], t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec, t.tm_year + 1900);
  return text;
}

void logOk() {
  std::time_t now = std::time(nullptr);
  consolePrint(stdout, " [  OK  ] %s\n", formatStamp(localTime(now)).c_str());
}
