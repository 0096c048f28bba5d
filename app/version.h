// The game's version, shown by --version, in the window's title and in every replay it records.
#pragma once

inline constexpr const char* velmoVersion = "1.0";
