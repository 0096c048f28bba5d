// "config.txt": up to three integers, the landscape detail, the ship detail and the sound switch.
#pragma once

#include <cstddef>
#include <cstdio>
#include <span>

#include "model/sphere_detail.h"

struct Config {
  int landscapeDetail = 20;  // sphere detail of the mountains, then of every sphere the game draws
  int shipDetail = 50;       // sphere detail while the ship loads
  int sound = 1;             // non-zero: the sound cues play
};


// Reads up to three integers, each in C's base-0 notation (sign, 0x for hexadecimal, a leading 0
// for octal), each from where the previous one stopped, after any white space. A token that does
// not begin with a number sets the value being read to 0 and ends the reading; later values keep
// their defaults. So "12abc 34" is 12, then 0 for "abc", and "09" is 0 then 9.
Config parseConfig(std::span<const std::byte> text);

// Reads the file; one that cannot be opened gives the defaults.
Config readConfigFile(const char* path);

// Brings the details into the ranges above, printing one line on `report` for each value changed.
Config clampConfig(const Config& config, std::FILE* report);
