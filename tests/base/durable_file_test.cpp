// Replacing a file durably, and the lock beside it: the two steps the highscore save relies on,
// where the platforms differ.
#include "base/durable_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "base/file_lock.h"
#include "tests/support/test_files.h"

namespace {

namespace fs = std::filesystem;

TEST(DurableFile, ReplacesAFileKeepingItsPermissionsAndLeavesNoTemporary) {
  ScratchDir dir("durable-replace");
  const fs::path path = dir.write("h.bin", "old");
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  const fs::perms before = fs::status(path).permissions();
  ASSERT_EQ(replaceFileContents(path.string(), bytesOf("new")), "");
  ASSERT_EQ(replaceFileContents(path.string(), bytesOf("newer")), "");  // the second save of a run
  EXPECT_EQ(readText(path), "newer");
  EXPECT_EQ(fs::status(path).permissions(), before);
  int files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 1);
}

// The new bytes go to a file no one else can have opened: a link planted at the name the save
// would take first is neither followed nor removed, and its target keeps its bytes.
TEST(DurableFile, NeverWritesThroughALink) {
  ScratchDir dir("durable-link");
  const fs::path path = dir.write("h.bin", "old");
  const fs::path precious = dir.write("precious", "mine");
  const fs::path planted = path.string() + ".tmp." + std::to_string(::getpid()) + ".0";
  std::error_code linkError;
  fs::create_symlink(precious, planted, linkError);
  if (linkError) GTEST_SKIP() << "no symbolic links here: " << linkError.message();
  ASSERT_EQ(replaceFileContents(path.string(), bytesOf("new")), "");
  EXPECT_EQ(readText(path), "new");
  EXPECT_FALSE(fs::is_symlink(path));
  EXPECT_EQ(readText(precious), "mine");
  EXPECT_TRUE(fs::is_symlink(planted));
}

TEST(DurableFile, AFailedReplaceLeavesTheOldThingAndSaysWhy) {
  ScratchDir dir("durable-fail");
  fs::create_directories(dir.path() / "folder" / "inside");
  const std::string folder = (dir.path() / "folder").string();
  const std::string why = replaceFileContents(folder, bytesOf("new"));
  EXPECT_NE(why.find("folder"), std::string::npos) << why;
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_NE(replaceFileContents((dir.path() / "missing" / "f").string(), bytesOf("x")), "");
  int files = 0;
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator(dir.path())) ++files;
  EXPECT_EQ(files, 1);  // only the folder: the failed new file is gone
}

TEST(DurableFile, ReadOnlyMeansNoWritePermission) {
  ScratchDir dir("durable-readonly");
  const fs::path path = dir.write("f", "x");
  EXPECT_FALSE(isReadOnlyFile(path.string()));
  fs::permissions(path, fs::perms::owner_read);
  EXPECT_TRUE(isReadOnlyFile(path.string()));
  fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);  // so the folder can go
  EXPECT_FALSE(isReadOnlyFile((dir.path() / "missing").string()));
}

// A second holder waits the bounded time and gives up; a link in the lock file's place is refused.
TEST(FileLock, OneHolderAtATimeAndNeverThroughALink) {
  ScratchDir dir("file-lock");
  const std::string path = (dir.path() / "h.bin.lock").string();
  FileLock first, second;
  ASSERT_EQ(first.acquire(path, 0), "");
  const std::string busy = second.acquire(path, 50);
  EXPECT_NE(busy.find("another game"), std::string::npos) << busy;
  first.release();
  EXPECT_EQ(second.acquire(path, 0), "");
  second.release();
  const fs::path link = dir.path() / "link.lock";
  std::error_code linkError;
  fs::create_symlink(dir.path() / "elsewhere", link, linkError);
  if (linkError) GTEST_SKIP() << "no symbolic links here: " << linkError.message();
  EXPECT_NE(first.acquire(link.string(), 0), "");
  EXPECT_FALSE(fs::exists(dir.path() / "elsewhere"));
}

}  // namespace
