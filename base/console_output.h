// The platform's side of the console: how the game's Windows-1251 text reaches it.
#pragma once

#include <cstdio>
#include <string_view>

// Readies standard output and standard error for the game's text; called once at start-up.
void prepareConsole();

// Writes Windows-1251 text to the stream in the platform's console encoding, flushing it.
void writeConsoleText(std::FILE* stream, std::string_view text);
