// The platform's durable replacement of a file, which the highscore save relies on: Windows' C
// library cannot rename over an existing file, so this is where the two platforms differ.
#include "base/durable_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <string>

#include "tests/support/test_files.h"

namespace {

namespace fs = std::filesystem;

std::string textOf(const fs::path& path) {
  const auto bytes = readBytes(path);
  return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

TEST(DurableFile, ReplacesAnExistingFileAndLeavesNoTemporary) {
  ScratchDir dir("durable-replace");
  const std::string path = dir.write("h.bin", "old").string();
  const std::string temporary = dir.write("h.bin.tmp", "new").string();
  ASSERT_EQ(replaceFile(temporary.c_str(), path.c_str()), 0);
  EXPECT_EQ(textOf(path), "new");
  EXPECT_FALSE(fs::exists(temporary));
  // And again over the file it just put there: the second save of a run.
  dir.write("h.bin.tmp", "newer");
  ASSERT_EQ(replaceFile(temporary.c_str(), path.c_str()), 0);
  EXPECT_EQ(textOf(path), "newer");
}

TEST(DurableFile, AFailedReplaceLeavesTheOldFileAndSaysWhy) {
  ScratchDir dir("durable-fail");
  const std::string path = dir.write("h.bin", "old").string();
  const std::string missing = (dir.path() / "h.bin.tmp").string();
  EXPECT_EQ(replaceFile(missing.c_str(), path.c_str()), ENOENT);
  EXPECT_EQ(textOf(path), "old");
  // A folder in the way of the target cannot be replaced by a file.
  const std::string temporary = dir.write("other.tmp", "new").string();
  fs::create_directories(dir.path() / "folder" / "inside");
  const std::string folder = (dir.path() / "folder").string();
  EXPECT_NE(replaceFile(temporary.c_str(), folder.c_str()), 0);
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_EQ(textOf(temporary), "new");
}

TEST(DurableFile, SyncsAWrittenFile) {
  ScratchDir dir("durable-sync");
  const std::string path = (dir.path() / "f").string();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  ASSERT_NE(file, nullptr);
  ASSERT_EQ(std::fwrite("bytes", 1, 5, file), 5u);
  ASSERT_EQ(std::fflush(file), 0);
  EXPECT_EQ(syncToDisk(file), 0);
  std::fclose(file);
  EXPECT_EQ(textOf(path), "bytes");
}

}  // namespace
