// A set of files packed into one fuzz input, for the readers that follow paths (the model file,
// its part directories and recordings, a recording and its bases). The input is a run of
//   name length (1 byte), name, content length (2 bytes, little-endian), content
// until it ends; a name or content cut short by the end keeps what is there. The first file is
// where the reader starts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/file_source.h"

struct FileBundle {
  MemoryFiles files;
  std::string first;  // name of the first file; empty when the input holds none
};

inline FileBundle unpackBundle(const std::uint8_t* data, std::size_t size) {
  FileBundle bundle;
  std::size_t at = 0;
  while (at < size) {
    std::size_t nameLength = data[at++];
    if (nameLength > size - at) nameLength = size - at;
    std::string name(reinterpret_cast<const char*>(data + at), nameLength);
    at += nameLength;
    std::size_t length = 0;
    if (size - at >= 2) {
      length = data[at] | (std::size_t{data[at + 1]} << 8);
      at += 2;
    } else {
      at = size;
    }
    if (length > size - at) length = size - at;
    const std::byte* content = reinterpret_cast<const std::byte*>(data + at);
    at += length;
    if (bundle.files.files.empty()) bundle.first = name;
    bundle.files.files[name].assign(content, content + length);  // a repeated name: the last wins
  }
  return bundle;
}
