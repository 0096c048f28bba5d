// The bound of the whole-file read: a file at the limit is read whole, a larger one gives its
// first bytes and says so (the readers that take a file's head rely on them), across the read's
// chunks; what cannot be read says why.
#include "base/data_file.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "tests/support/test_files.h"

TEST(DataFile, ReadsUpToTheLimitAndSaysWhyNot) {
  ScratchDir dir("data-file");
  std::string text(200 * 1024 + 3, '\0');
  for (std::size_t i = 0; i < text.size(); ++i) text[i] = static_cast<char>(i * 7 % 251);
  const std::string path = dir.write("file", text).string();
  for (const std::size_t limit : {text.size(), text.size() + 1, std::size_t{64} * 1024, text.size() - 1, std::size_t{0}}) {
    const DataFile file = readDataFile(path.c_str(), limit);
    const bool whole = limit >= text.size();
    EXPECT_EQ(file.status, whole ? DataRead::ok : DataRead::tooLarge) << limit;
    EXPECT_EQ(file.bytes, bytesOf(std::string_view(text).substr(0, whole ? text.size() : limit))) << limit;
  }
  const DataFile missing = readDataFile((dir.path() / "missing").string().c_str(), 10);
  EXPECT_EQ(missing.status, DataRead::cannotOpen);
  EXPECT_EQ(missing.openError, ENOENT);
  // A folder is refused as no regular file; Windows does not even open it.
  const DataRead folder = readDataFile(dir.path().string().c_str(), 10).status;
  EXPECT_TRUE(folder == DataRead::notRegular || folder == DataRead::cannotOpen);
  EXPECT_EQ(readDataFile(nullptr, 10).status, DataRead::cannotOpen);
}
