// Part lists on disk that open but are no files: a folder, and a named pipe that would hold an
// open for reading forever. Linux only: on Windows a folder does not open as a file at all.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "base/random.h"
#include "model/file_source.h"
#include "model/part_directory.h"
#include "tests/support/test_files.h"
#include "tests/support/thrown_text.h"

// A named pipe without a writer would hold an open for reading forever: it is refused at once.
TEST(PickRecording, OnDiskAListThatOpensButCannotBeReadIsAnError) {
  ScratchDir dir("pick-disk");
  WorkingDir inside(dir.path());
  dir.write("part/files.txt", "v1\nv2");
  std::filesystem::create_directories(dir.path() / "folder" / "files.txt");
  std::filesystem::create_directories(dir.path() / "pipe");
  ASSERT_EQ(mkfifo("pipe/files.txt", 0600), 0);
  sharedRandom = RandomSequence{};
  RandomSequence expected;
  EXPECT_EQ(pickRecording("part"), chooseEntry(2, expected.next()) == 0 ? "part/v1" : "part/v2");
  EXPECT_EQ(pickRecording("missing"), "");
  EXPECT_EQ(thrownText([] { pickRecording("folder"); }), "Error accessing file.");
  EXPECT_EQ(thrownText([] { pickRecording("pipe"); }), "Error accessing file.");
  std::vector<std::byte> bytes;
  EXPECT_EQ(diskFiles().read("pipe/files.txt", 100, bytes), FileRead::cannotRead);
}
