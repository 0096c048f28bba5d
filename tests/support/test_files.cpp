// Scratch folders and file helpers for tests.
#include "tests/support/test_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

ScratchDir::ScratchDir(std::string_view name) {
  path_ = fs::current_path() / ("scratch-" + std::string(name) + "-" + std::to_string(::getpid()));
  fs::remove_all(path_);
  fs::create_directories(path_);
}

ScratchDir::~ScratchDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

fs::path ScratchDir::write(std::string_view relative, std::string_view bytes) const {
  fs::path full = path_ / relative;
  fs::create_directories(full.parent_path());
  std::ofstream out(full, std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return full;
}

WorkingDir::WorkingDir(const fs::path& path) : previous_(fs::current_path()) { fs::current_path(path); }
WorkingDir::~WorkingDir() { fs::current_path(previous_); }

std::vector<std::byte> readBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::vector<char> chars((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::byte> bytes(chars.size());
  for (std::size_t i = 0; i < chars.size(); ++i) bytes[i] = static_cast<std::byte>(chars[i]);
  return bytes;
}

std::string textOf(const std::vector<std::byte>& bytes) {
  return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

std::string readText(const fs::path& path) { return textOf(readBytes(path)); }

std::vector<std::byte> bytesOf(std::string_view text) {
  std::vector<std::byte> bytes(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) bytes[i] = static_cast<std::byte>(text[i]);
  return bytes;
}

fs::path sharedTestData() {
  fs::path dir = fs::path(VELMO_SHARED_DIR) / "testdata";
  return fs::is_directory(dir) ? dir : fs::path();
}
