// Part directories: the entries of files.txt, the variant a draw picks, the part's detail and
// building a part from a variant.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "base/random.h"
#include "model/model.h"
#include "model/part_directory.h"
#include "model/sculpt_format.h"
#include "tests/support/test_files.h"
#include "tests/support/thrown_text.h"

namespace {

std::vector<std::string> entriesOf(std::string_view text) {
  std::vector<std::string> entries;
  EXPECT_TRUE(parsePartList(bytesOf(text), entries)) << text;
  return entries;
}

}  // namespace

TEST(PartList, EveryLineIsAnEntryAndSoIsTheRestAfterTheLastLineFeed) {
  using Entries = std::vector<std::string>;
  const std::string eighty(80, 'x');
  struct Case {
    std::string text;
    Entries entries;
  } cases[] = {
      {"", {""}},
      {"a", {"a"}},
      {"a\n", {"a", ""}},
      {"a\nb", {"a", "b"}},
      {"a\n\nc", {"a", "", "c"}},
      {"a\r\nb\r\n", {"a", "b", ""}},
      {"a\rb\r", {"a\rb\r"}},  // only the return before a line feed is part of the ending
      {"\n", {"", ""}},
      {"v 1.rec\t\n", {"v 1.rec\t", ""}},  // blanks are part of the name
      {eighty, {eighty}},
      {eighty + "\r\n" + eighty, {eighty, eighty}},
  };
  for (const Case& c : cases) EXPECT_EQ(entriesOf(c.text), c.entries) << c.text;
}

TEST(PartList, ALineOfMoreThanEightyCharactersRejectsTheList) {
  const std::string long81(81, 'x');
  for (std::string text : {long81, "a\n" + long81, long81 + "\r\n", "a\n" + long81 + "\nb"}) {
    std::vector<std::string> entries{"stale"};
    EXPECT_FALSE(parsePartList(bytesOf(text), entries)) << text.size();
    EXPECT_TRUE(entries.empty());
  }
}

TEST(PartList, ADrawOfZeroPicksTheLastEntryAndNTheNth) {
  EXPECT_EQ(chooseEntry(1, 0), 0u);
  EXPECT_EQ(chooseEntry(1, 32767), 0u);
  const std::size_t expected[] = {2, 0, 1, 2, 0, 1};
  for (int draw = 0; draw < 6; ++draw) EXPECT_EQ(chooseEntry(3, draw), expected[draw]) << draw;
  EXPECT_EQ(chooseEntry(40000, 32767), 32766u);  // more entries than draws: the tail is never picked
}

TEST(PickRecording, JoinsTheDirectoryAndTheEntryTheNextDrawPicks) {
  struct Case {
    std::string directory, list;
    std::vector<std::string> paths;  // every result the picks may give
  } cases[] = {
      {"hull", "a", {"hull/a"}},
      {"hull", "a\n", {"hull/a", "hull/"}},
      {"hull", "", {"hull/"}},
      {"hull", "a\n\nc", {"hull/a", "hull/", "hull/c"}},
      {"ship/hull/", "a\r\nb", {"ship/hull//a", "ship/hull//b"}},
  };
  for (const Case& c : cases) {
    MemoryFiles files;
    files.files[c.directory + "/files.txt"] = bytesOf(c.list);
    sharedRandom = RandomSequence{};
    RandomSequence expected;
    std::map<std::string, int> seen;
    for (int i = 0; i < 300; ++i) {
      std::string path = pickRecording(c.directory, files);
      std::size_t n = c.paths.size();
      EXPECT_EQ(path, c.paths[chooseEntry(n, expected.next())]) << c.list;
      ++seen[path];
    }
    EXPECT_EQ(sharedRandom.state, expected.state) << "one draw per pick";
    ASSERT_EQ(seen.size(), c.paths.size()) << c.list;
    for (const auto& [path, times] : seen) EXPECT_GT(times, 300 / static_cast<int>(c.paths.size()) / 2) << path;
  }
}

TEST(PickRecording, FailuresOfTheList) {
  MemoryFiles files;
  sharedRandom = RandomSequence{};
  EXPECT_EQ(pickRecording("nowhere", files), "");
  EXPECT_EQ(sharedRandom.state, 1u) << "nothing drawn without a list";

  files.files["long/files.txt"] = bytesOf("a\n" + std::string(81, 'b'));
  EXPECT_EQ(thrownReport([&] { pickRecording("long", files); }),
            "A error detected\nvelmo: long/files.txt: a line is longer than 80 characters\n");

  files.files["big/files.txt"] = std::vector<std::byte>(maxPartListBytes + 1, std::byte{'\n'});
  EXPECT_EQ(thrownText([&] { pickRecording("big", files); }), "Error accessing file.");

  files.files["zero/files.txt"] = bytesOf(std::string("a\0b", 3));
  EXPECT_EQ(pickRecording("zero", files), "zero/a");  // a zero byte ends the name
}

TEST(PartDetail, TheProductIsTruncatedAndKeptWithinTwoTo360) {
  const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
  struct Case {
    int detail;
    float scale;
    int expected;
  } cases[] = {
      {50, 1.0f, 50},   {50, 0.5f, 25},    {50, 0.999f, 49}, {50, 0.03f, 2},  {50, 0.0f, 2},
      {50, -1.0f, 2},   {50, 100.0f, 360}, {360, 1.0f, 360}, {2, 1.0f, 2},    {50, 7.2f, 360},
      {50, 7.18f, 359}, {50, nan, 50},     {50, inf, 360},   {50, -inf, 2},   {50, 1e30f, 360},
      {20, 0.1f, 2},    {3, 0.7f, 2},      {360, 0.5f, 180},
  };
  for (const Case& c : cases) EXPECT_EQ(partDetail(c.detail, c.scale), c.expected) << c.detail << " x " << c.scale;
}

TEST(BuildPart, TakesTheVariantsAttachmentPointsPivotAndValues) {
  const AttachmentPoint points[2] = {{1.0f, 0.5f, -2.0f, 7.0f}, {-1.0f, 0.0f, 0.25f, 0.0f}};
  MemoryFiles files;
  files.files["wing/files.txt"] = bytesOf("left");
  files.files["wing/left"] = sculpt::Writer().push({0, 0, 0, 1.5f}).attachments(points).pivot(0.5f, 0, 0).bytes();
  const int detail = 20;
  ModelNode node;
  node.build("wing", detail, 0.5f, 0xDEADBEEFu, files);
  ASSERT_NE(node.mesh, nullptr);
  EXPECT_EQ(node.mesh->detail, 10);
  EXPECT_EQ(node.mesh->pivot().x, 0.5f);
  EXPECT_FLOAT_EQ(node.mesh->vertices[0].y, 1.5f);  // the push reached the pole
  EXPECT_EQ(node.name, "wing");
  EXPECT_EQ(node.detailScale, 0.5f);
  EXPECT_EQ(node.extra, 0xDEADBEEFu);
  ASSERT_EQ(node.count, 2);
  ASSERT_EQ(node.children.size(), 2u);
  ASSERT_EQ(node.attachments.size(), 2u);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(node.children[i], nullptr);
    ASSERT_NE(node.attachments[i], nullptr);
    EXPECT_EQ(std::memcmp(node.attachments[i].get(), &points[i], sizeof points[i]), 0);
  }
}

TEST(BuildPart, FailuresOfTheDirectoryAndTheVariant) {
  MemoryFiles files;
  const int detail = 8;
  ModelNode node;
  EXPECT_EQ(thrownText([&] { node.build("absent", detail, 1.0f, 0, files); }), failureText::noVariantFound);
  EXPECT_EQ(std::string(failureText::noVariantFound), "\xCD\xE5 \xED\xE0\xE9\xE4\xE5\xED\xEE \xED\xE8 \xEE\xE4\xED\xEE\xE3\xEE \xF4\xE0\xE9\xEB\xE0");
  // A listed variant that is not there, or the empty entry: a plain sphere without attachments.
  files.files["plain/files.txt"] = bytesOf("gone");
  files.files["empty/files.txt"] = {};
  for (const char* directory : {"plain", "empty"}) {
    ModelNode part;
    part.build(directory, detail, 1.0f, 0, files);
    ASSERT_NE(part.mesh, nullptr);
    EXPECT_EQ(part.mesh->detail, 8);
    EXPECT_EQ(part.count, 0);
    EXPECT_EQ(part.mesh->vertices[0].y, 1.0f);
  }

  // More attachment points than any model file could fill.
  std::vector<AttachmentPoint> many(maxPartAttachments + 1, AttachmentPoint{0, 0, 0, 0});
  files.files["hub/files.txt"] = bytesOf("v");
  files.files["hub/v"] = sculpt::Writer().attachments(many).bytes();
  EXPECT_EQ(thrownReport([&] {
              ModelNode hub;
              hub.build("hub", detail, 1.0f, 0, files);
            }),
            "A error detected\nvelmo: hub/v: declares 65 attachment points; a part takes at most 64\n");
  many.pop_back();
  files.files["hub/v"] = sculpt::Writer().attachments(many).bytes();
  ModelNode hub;
  hub.build("hub", detail, 1.0f, 0, files);
  EXPECT_EQ(hub.count, static_cast<int>(maxPartAttachments));
}

TEST(BuildPart, BrushWorkComesOutOfTheGivenBudget) {
  // With work enough, the push onto the pole lands and what it cost is taken from the budget;
  // with less work than indexing the mesh takes, no brush runs and the whole budget is spent.
  // The variant's attachment points count either way.
  const AttachmentPoint point[1] = {{1, 0, 0, 0}};
  MemoryFiles files;
  files.files["part/files.txt"] = bytesOf("v");
  files.files["part/v"] = sculpt::Writer()
                              .push({9, 9, 9, 0.1f})
                              .push({9, 9, 9, 0.1f})
                              .push({9, 9, 9, 0.1f})
                              .push({0, 1.5f, 0, 1})
                              .attachments(point)
                              .bytes();
  const int detail = 8;
  SphereMesh probe;
  probe.generate(8);
  const std::int64_t vertices = probe.vertexCount;
  struct Case {
    std::int64_t work;    // given
    float poleY;          // where the north pole ends up
    std::int64_t left;    // work left afterwards
  } cases[] = {{vertices - 1, 1.0f, 0}, {std::int64_t{1} << 30, 0.5f, -1}};
  for (const Case& c : cases) {
    std::int64_t work = c.work;
    testing::internal::CaptureStderr();
    ModelNode node;
    node.build("part", detail, 1.0f, 0, files, &work);
    testing::internal::GetCapturedStderr();
    EXPECT_FLOAT_EQ(node.mesh->vertices[0].y, c.poleY) << c.work;
    if (c.left >= 0)
      EXPECT_EQ(work, c.left) << c.work;
    else
      EXPECT_TRUE(work > 0 && work < c.work - vertices) << work;
    EXPECT_EQ(node.count, 1);
  }
}

namespace {

// Data files name paths inside the game folder only; the checks take both platforms' separators.
TEST(DataPaths, OnlyPathsInsideTheGameFolderAreRead) {
  for (const char* inside : {"ship/hull/arrow", "ship/hull/", "a..b/c", "..a/b", "./x", ""})
    EXPECT_TRUE(staysInGameFolder(inside)) << inside;
  for (const char* outside : {"../x", "ship/../../etc/passwd", "ship/hull/..", "..", "/var/elsewhere",
                              "\\\\server\\share", "ship\\..\\..\\x", "C:x", "c:\\windows"})
    EXPECT_FALSE(staysInGameFolder(outside)) << outside;
  DiskFiles disk;
  std::vector<std::byte> out;
  testing::internal::CaptureStderr();
  EXPECT_EQ(disk.read("../../../../etc/passwd", 1 << 20, out), FileRead::cannotOpen);
  const std::string said = testing::internal::GetCapturedStderr();
  EXPECT_NE(said.find("leaves the game folder"), std::string::npos) << said;
  EXPECT_TRUE(out.empty());
}

}  // namespace
