// Files for tests: scratch folders, whole-file reads and the paths of the shared corpora.
#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// A fresh empty folder under the build tree, removed when the object goes.
class ScratchDir {
 public:
  explicit ScratchDir(std::string_view name);
  ~ScratchDir();
  const std::filesystem::path& path() const { return path_; }
  // Writes a file (creating its folders) relative to the folder; returns its full path.
  std::filesystem::path write(std::string_view relative, std::string_view bytes) const;

 private:
  std::filesystem::path path_;
};

// Changes the working directory for the object's lifetime.
class WorkingDir {
 public:
  explicit WorkingDir(const std::filesystem::path& path);
  ~WorkingDir();

 private:
  std::filesystem::path previous_;
};

std::vector<std::byte> readBytes(const std::filesystem::path& path);
std::string readText(const std::filesystem::path& path);
std::string textOf(const std::vector<std::byte>& bytes);
std::vector<std::byte> bytesOf(std::string_view text);

// The public test corpora beside the repository; empty when that folder is absent.
std::filesystem::path sharedTestData();
