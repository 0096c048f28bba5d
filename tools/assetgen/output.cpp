// Writing data files only when their bytes change.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/assetgen/assets.h"

void writeDataFile(const std::filesystem::path& runDir, std::string_view relative, std::span<const std::byte> bytes) {
  const std::filesystem::path path = runDir / std::filesystem::path(relative);
  {
    std::ifstream existing(path, std::ios::binary);
    if (existing) {
      std::string old((std::istreambuf_iterator<char>(existing)), std::istreambuf_iterator<char>());
      if (old.size() == bytes.size() && std::equal(old.begin(), old.end(), bytes.begin(), bytes.end(),
                                                   [](char a, std::byte b) { return static_cast<std::byte>(a) == b; }))
        return;
    }
  }
  std::error_code error;
  std::filesystem::create_directories(path.parent_path(), error);
  if (error) throw std::runtime_error("cannot create " + path.parent_path().string() + ": " + error.message());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path.string());
}
