// The thin file layer under the image readers: a whole file read into memory.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

// The file's bytes, or none when it cannot be opened or read, or holds more than maxBytes.
std::optional<std::vector<std::byte>> readWholeFile(const char* path, std::size_t maxBytes);
