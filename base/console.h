// The console: everything the game prints goes through here. The game's text is Windows-1251;
// the terminal gets UTF-8.
#pragma once

#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

// Formats like printf (the arguments in Windows-1251) and writes the result to the stream as
// UTF-8, flushing it so progress lines show at once.
void consolePrint(std::FILE* stream, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Output kept back: between start() and stop(), called on one thread, what that thread prints
// through consolePrint is kept here instead of written; release() then writes it, in order, to
// the streams it was meant for. A job run on a thread of its own prints this way, so that its
// lines come out where they would have had it run in turn.
class HeldConsole {
 public:
  void start();
  void stop();
  void release();

 private:
  struct Line {
    std::FILE* stream;
    std::string text;
  };
  friend void consolePrint(std::FILE*, const char*, ...);
  std::vector<Line> lines;
  HeldConsole* outer = nullptr;
};

// Windows-1251 bytes as UTF-8; the unassigned byte 0x98 becomes U+FFFD.
std::string cp1251ToUtf8(std::string_view text);

// A name from outside the game (a file name, a path a data file gives) fit to print: every
// control byte, which a terminal would take as a command or a line break, becomes \xNN.
std::string printableName(std::string_view name);
// The same between double quotes, as messages name files.
std::string quotedName(std::string_view name);

// " [  OK  ] " and the local date and time, completing a progress line on standard output.
void logOk();

// The 24 characters of C's asctime ("Mon Dec 07 06:17:58 2026"), the day always two digits.
std::string formatStamp(const std::tm& time);
