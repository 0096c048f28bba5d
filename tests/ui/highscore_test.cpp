// The highscore table: ranking, the complemented 240-byte file, and saving without losing the
// previous file or another game's results.
#include "base/error.h"
#include "ui/highscore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/test_files.h"

namespace {

namespace fs = std::filesystem;

std::vector<std::uint32_t> scores(const HighscoreTable& table) {
  std::vector<std::uint32_t> s;
  for (int i = 0; i < table.count(); ++i) s.push_back(table.scoreAt(i));
  return s;
}

std::vector<std::string> names(const HighscoreTable& table) {
  std::vector<std::string> n;
  for (int i = 0; i < table.count(); ++i) n.emplace_back(table.entryAt(i).name);
  return n;
}

// Entries "p100", "p90", ... "p10" with the scores 100 down to 10.
void fillDescending(HighscoreTable& table) {
  for (int i = 10; i >= 1; --i) {
    char name[8];
    std::snprintf(name, sizeof name, "p%d", i * 10);
    table.insert(name, static_cast<std::uint32_t>(i * 10));
  }
}

TEST(HighscoreTable, WithoutAFileTheTableIsTenEmptyEntries) {
  ScratchDir dir("hs-none");
  HighscoreTable table;
  EXPECT_FALSE(table.load((dir.path() / "h.bin").string().c_str()));
  EXPECT_EQ(table.count(), 10);
  EXPECT_EQ(scores(table), std::vector<std::uint32_t>(10, 0));
  EXPECT_EQ(names(table), std::vector<std::string>(10, ""));
  table.insert("first", 0);  // any first result, 0 included, becomes entry 0
  EXPECT_EQ(names(table)[0], "first");
  EXPECT_EQ(names(table)[1], "");
}

TEST(HighscoreTable, RanksResults) {
  HighscoreTable table;
  fillDescending(table);
  EXPECT_EQ(scores(table), (std::vector<std::uint32_t>{100, 90, 80, 70, 60, 50, 40, 30, 20, 10}));

  table.insert("equal", 70);  // above the older 70
  EXPECT_EQ(names(table)[3], "equal");
  EXPECT_EQ(names(table)[4], "p70");
  EXPECT_EQ(names(table)[9], "p20");

  HighscoreTable between;
  fillDescending(between);
  between.insert("new", 65);  // between entries 3 and 4: old 4..8 move to 5..9, old 9 drops out
  EXPECT_EQ(names(between), (std::vector<std::string>{"p100", "p90", "p80", "p70", "new", "p60", "p50", "p40", "p30",
                                                      "p20"}));

  HighscoreTable lower;
  fillDescending(lower);
  lower.insert("low", 5);  // below all ten: nothing changes
  EXPECT_EQ(names(lower), (std::vector<std::string>{"p100", "p90", "p80", "p70", "p60", "p50", "p40", "p30", "p20",
                                                    "p10"}));
  lower.insert("last", 10);  // equal to the last: replaces it without moving anything
  EXPECT_EQ(names(lower)[9], "last");
  EXPECT_EQ(names(lower)[8], "p20");
}

TEST(HighscoreTable, NamesHoldNineteenCharacters) {
  HighscoreTable table;
  table.insert("abcdefghijklmnopqrs", 5);
  EXPECT_STREQ(table.entryAt(0).name, "abcdefghijklmnopqrs");
  EXPECT_EQ(table.entryAt(0).name[19], '\0');
  table.insert("abcdefghijklmnopqrstuvwxyz", 6);  // cut, never past the field
  EXPECT_STREQ(table.entryAt(0).name, "abcdefghijklmnopqrs");
}

// What a call throws: 1 for a GameError without a text, -1000 for anything else, -2000 when
// nothing is thrown.
template <typename Call>
int thrownCode(Call call) {
  try {
    call();
  } catch (const GameError& failure) {
    return failure.message ? -1000 : 1;
  } catch (...) {
    return -1000;
  }
  return -2000;
}

TEST(HighscoreTable, EveryIndexInTheListAnswersAndOneOutsideThrowsOne) {
  HighscoreTable table;
  table.insert("seven", 7);
  table.insert("three", 3);
  EXPECT_EQ(table.scoreAt(0), 7u);
  EXPECT_EQ(table.scoreAt(1), 3u);
  EXPECT_STREQ(table.entryAt(1).name, "three");
  EXPECT_EQ(table.scoreAt(9), 0u);  // the last entry of the list is in it
  EXPECT_STREQ(table.entryAt(9).name, "");
  for (int i : {10, 11, -1}) {
    EXPECT_EQ(thrownCode([&] { table.scoreAt(i); }), 1) << i;
    EXPECT_EQ(thrownCode([&] { table.entryAt(i); }), 1) << i;
  }
}

TEST(HighscoreFile, EncodesComplementedLittleEndianRecords) {
  std::vector<HighscoreEntry> entries(10, HighscoreEntry{});
  std::snprintf(entries[0].name, sizeof entries[0].name, "Ab");
  entries[0].score = 0x01020304;
  HighscoreBytes bytes = encodeHighscores(entries);
  EXPECT_EQ(bytes[0], std::byte{0xFF ^ 'A'});
  EXPECT_EQ(bytes[1], std::byte{0xFF ^ 'b'});
  EXPECT_EQ(bytes[2], std::byte{0xFF});
  EXPECT_EQ(bytes[20], std::byte{0xFF ^ 0x04});
  EXPECT_EQ(bytes[23], std::byte{0xFF ^ 0x01});
  for (std::size_t i = 24; i < bytes.size(); ++i) EXPECT_EQ(bytes[i], std::byte{0xFF}) << i;

  std::vector<HighscoreEntry> back(10);
  ASSERT_TRUE(decodeHighscores(bytes, back));
  EXPECT_STREQ(back[0].name, "Ab");
  EXPECT_EQ(back[0].score, 0x01020304u);
}

TEST(HighscoreFile, DecodeChecksTheLengthAndBoundsNames) {
  std::vector<HighscoreEntry> entries(10);
  std::vector<std::byte> allOnes(240, std::byte{0xFF});
  ASSERT_TRUE(decodeHighscores(allOnes, entries));
  for (const HighscoreEntry& e : entries) {
    EXPECT_STREQ(e.name, "");
    EXPECT_EQ(e.score, 0u);
  }

  std::vector<HighscoreEntry> untouched(10);
  untouched[0].score = 7;
  EXPECT_FALSE(decodeHighscores(std::span(allOnes.data(), 239), untouched));
  EXPECT_FALSE(decodeHighscores({}, untouched));
  EXPECT_EQ(untouched[0].score, 7u);

  std::vector<std::byte> noZero(300, std::byte{0xFF ^ 'x'});  // longer than 240: the rest is ignored
  ASSERT_TRUE(decodeHighscores(noZero, entries));
  EXPECT_EQ(std::string(entries[0].name), std::string(19, 'x'));
}

TEST(HighscoreFile, LoadAndSaveRoundTripThroughA240ByteFile) {
  ScratchDir dir("hs-roundtrip");
  const std::string path = (dir.path() / "h.bin").string();
  HighscoreTable table;
  fillDescending(table);
  ASSERT_TRUE(table.save(path.c_str()));
  EXPECT_EQ(fs::file_size(path), 240u);
  HighscoreTable again;
  ASSERT_TRUE(again.load(path.c_str()));
  EXPECT_EQ(names(again), names(table));
  EXPECT_EQ(scores(again), scores(table));
  // Beside the file only the lock file stays: no temporary is left behind.
  std::vector<std::string> inFolder;
  for (const auto& entry : fs::directory_iterator(dir.path())) inFolder.push_back(entry.path().filename().string());
  std::sort(inFolder.begin(), inFolder.end());
  EXPECT_EQ(inFolder, (std::vector<std::string>{"h.bin", "h.bin.lock"}));
}

// Two games in one folder: each save enters that game's new results into what the file holds,
// so neither loses the other's, and a result saved once is never entered again.
TEST(HighscoreFile, SavesMergeWithTheFileAndEnterEachResultOnce) {
  ScratchDir dir("hs-merge");
  const std::string path = (dir.path() / "h.bin").string();
  HighscoreTable a, b;
  a.load(path.c_str());
  b.load(path.c_str());
  a.insert("a1", 5);
  ASSERT_TRUE(a.save(path.c_str()));
  b.insert("b1", 7);
  ASSERT_TRUE(b.save(path.c_str()));
  ASSERT_TRUE(a.save(path.c_str()));  // nothing new: the file stays as b left it
  a.insert("a2", 5);                  // ties rank above the older result
  ASSERT_TRUE(a.save(path.c_str()));
  HighscoreTable check;
  ASSERT_TRUE(check.load(path.c_str()));
  EXPECT_EQ(names(check), (std::vector<std::string>{"b1", "a2", "a1", "", "", "", "", "", "", ""}));
  EXPECT_EQ(names(a), names(check));  // the table shows what the file holds
}

TEST(HighscoreFile, AFailedSaveKeepsTheOldFileSaysWhyAndKeepsTheResultForTheNextSave) {
  ScratchDir dir("hs-fail");
  const std::string path = (dir.path() / "later" / "h.bin").string();
  HighscoreTable table;
  table.insert("new", 2);
  testing::internal::CaptureStderr();
  EXPECT_FALSE(table.save(path.c_str()));
  const std::string message = testing::internal::GetCapturedStderr();
  EXPECT_NE(message.find(path), std::string::npos) << message;
  EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
  EXPECT_STREQ(table.entryAt(0).name, "new");  // the table in memory is kept
  fs::create_directories(dir.path() / "later");
  ASSERT_TRUE(table.save(path.c_str()));
  HighscoreTable check;
  ASSERT_TRUE(check.load(path.c_str()));
  EXPECT_STREQ(check.entryAt(0).name, "new");
  EXPECT_STREQ(check.entryAt(1).name, "");
}

// Only a missing file means an empty table: one that is there but cannot be read, or is
// read-only, keeps its bytes and its mode, and the game says so once.
TEST(HighscoreFile, AnUnreadableOrReadOnlyFileIsLeftAloneAndSaidOnce) {
  ScratchDir dir("hs-alone");
  const fs::path readOnly = dir.write("h.bin", std::string(240, '\xfe'));
  fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  const fs::perms readOnlyPermissions = fs::status(readOnly).permissions();
  const fs::path folder = dir.path() / "folder.bin";
  fs::create_directories(folder / "inside");
  for (const fs::path& path : {readOnly, folder}) {
    HighscoreTable table;
    testing::internal::CaptureStderr();
    table.load(path.string().c_str());
    table.insert("lost", 1);
    EXPECT_FALSE(table.save(path.string().c_str()));
    EXPECT_FALSE(table.save(path.string().c_str()));
    const std::string message = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << message;
    EXPECT_NE(message.find("will not be saved"), std::string::npos) << message;
  }
  EXPECT_EQ(readText(readOnly), std::string(240, '\xfe'));
  EXPECT_EQ(fs::status(readOnly).permissions(), readOnlyPermissions);
  EXPECT_TRUE(fs::is_directory(folder / "inside"));
  fs::permissions(readOnly, fs::perms::owner_all);  // so the folder can go
}

TEST(HighscoreFile, TheProgramsTableSavesAtExitOnlyOnceLoaded) {
  ScratchDir dir("hs-exit");
  WorkingDir cwd(dir.path());
  { HighscoreTable neverLoaded(10, true); }
  EXPECT_FALSE(fs::exists("h.bin"));  // a run that failed early leaves the player's file alone
  {
    HighscoreTable table(10, true);
    table.load();
    table.insert("saved", 4);
  }
  ASSERT_TRUE(fs::exists("h.bin"));
  EXPECT_EQ(fs::file_size("h.bin"), 240u);
  HighscoreTable check;
  ASSERT_TRUE(check.load());
  EXPECT_STREQ(check.entryAt(0).name, "saved");
}

}  // namespace
