// The console: everything the game prints goes through here. The game's text is Windows-1251;
// the terminal gets UTF-8.
#pragma once

#include <cstdio>
#include <string>
#include <string_view>

// Formats like printf (the arguments in Windows-1251) and writes the result to the stream as
// UTF-8, flushing it so progress lines show at once.
void consolePrint(std::FILE* stream, const char* format, ...) __attribute__((format(printf, 2, 3)));

// Windows-1251 bytes as UTF-8; the unassigned byte 0x98 becomes U+FFFD.
std::string cp1251ToUtf8(std::string_view text);
