// The data tool's families: each writes its files under the game's working directory and throws
// std::runtime_error when it cannot. main.cpp calls them in order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string_view>

// "mountain/_mountain4" and "mountain/_mountain5": the two landscape recordings.
void writeMountains(const std::filesystem::path& runDir);

// Writes `bytes` to runDir / relative (creating folders), leaving a file that already holds
// exactly these bytes untouched so its time stamp stays.
void writeDataFile(const std::filesystem::path& runDir, std::string_view relative, std::span<const std::byte> bytes);

// "sky/f.raw" ... "sky/earth.raw": the six 512 × 512 RGB faces of the sky box.
void writeSky(const std::filesystem::path& runDir);

// "normal2.bmp" and "block.bmp": the floor's normal map and base texture, one relief.
void writeFloorTextures(const std::filesystem::path& runDir);

// "collect.wav" and "blast.wav": the sound cues, synthesised.
void writeSounds(const std::filesystem::path& runDir);

// "vorizozadi1" and its part directories under "ship/", each with a files.txt of variants.
void writeShip(const std::filesystem::path& runDir);

// "blast2.bmp": the fire texture of the blast sphere, one tile per unit.
void writeBlast(const std::filesystem::path& runDir);
