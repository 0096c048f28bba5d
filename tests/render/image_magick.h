// ImageMagick as the second, independent decoder the readers are compared with.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Whether ImageMagick's convert can be run.
bool imageMagickAvailable();

// Skips the test when convert cannot be run, but fails it where scripts/setup has installed the
// tools (scripts/test says so with VELMO_TOOLS_INSTALLED), so that a missing tool shows in CI.
#define VELMO_REQUIRE_IMAGE_MAGICK()                                                        \
  do {                                                                                      \
    if (imageMagickAvailable()) break;                                                      \
    if (std::getenv("VELMO_TOOLS_INSTALLED")) FAIL() << "ImageMagick's convert cannot be run"; \
    GTEST_SKIP() << "ImageMagick's convert is not installed";                               \
  } while (false)

// Runs `convert <arguments>` and returns what it wrote on standard output; none when it failed.
// With keepPartial, output written before a failure is returned too (ImageMagick still writes
// the whole picture of a file it finds cut short).
std::optional<std::vector<std::uint8_t>> runConvert(const std::string& arguments, bool keepPartial = false);

// The file decoded by ImageMagick as 8-bit samples, rows top first: `channels` is "rgb", "rgba"
// or "gray".
std::optional<std::vector<std::uint8_t>> referencePixels(const std::filesystem::path& file, const char* channels,
                                                          bool autoOrient, bool keepPartial = false);

// Quotes a path for the shell.
std::string shellQuoted(const std::filesystem::path& path);

// Rows of `rowBytes` in the opposite order: readers return the bottom row first.
std::vector<std::uint8_t> flipRows(const std::vector<std::uint8_t>& pixels, std::size_t rowBytes);
