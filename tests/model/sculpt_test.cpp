// Replaying sculpt recordings: bases, attachment points, short records, unknown opcodes, loops.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/random.h"
#include "model/sculpt.h"
#include "model/sculpt_format.h"
#include "tests/model/mesh_checks.h"
#include "tests/support/test_files.h"

namespace {

SphereMesh sphere() {
  SphereMesh m;
  m.generate(20);
  return m;
}

std::vector<std::byte> cut(std::vector<std::byte> bytes, std::size_t drop) {
  // erase, not resize: g++ 12 with the sanitizers warns about the fill a shrinking resize never does
  bytes.erase(bytes.end() - static_cast<std::ptrdiff_t>(drop), bytes.end());
  return bytes;
}

// Overwrites the base length at the start of a recording.
void setBaseLength(std::vector<std::byte>& bytes, std::int32_t v) {
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<std::byte>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF);
}

// The x of every attachment point the recorder holds, in order: each test's points differ in x.
std::vector<float> attachmentXs(const SculptRecorder& recorder) {
  std::vector<float> xs;
  for (const AttachmentPoint& a : recorder.attachments()) xs.push_back(a.x);
  return xs;
}

}  // namespace

TEST(Sculpt, WriterLayoutMatchesTheRecordSizes) {
  sculpt::Writer empty, based("a/b");
  EXPECT_EQ(empty.bytes().size(), 4u);
  EXPECT_EQ(based.bytes().size(), 7u);
  EXPECT_EQ(textOf(based.bytes()).substr(4), "a/b");
  const AttachmentPoint points[2] = {{1, 2, 3, 4}, {5, 6, 7, 8}};
  struct Case {
    std::size_t size;
    sculpt::Writer w;
  } cases[] = {
      {20, sculpt::Writer().push({1, 2, 3, 4})},
      {36, sculpt::Writer().pushStroke({1, 2, 3, 4}, {5, 6, 7, 8})},
      {36, sculpt::Writer().paint({1, 2, 3, 4}, {0, 0, 0, 1})},
      {68, sculpt::Writer().paintStroke({1, 2, 3, 4}, {0, 0, 0, 1}, {5, 6, 7, 8}, {1, 1, 1, 1})},
      {8 + 32, sculpt::Writer().attachments(points)},
      {16, sculpt::Writer().pivot(1, 2, 3)},
  };
  for (const Case& c : cases) EXPECT_EQ(c.w.bytes().size(), 4 + c.size);
  // Little-endian: the first push's opcode 0 and x = 1.0f (0x3F800000).
  const auto& b = cases[0].w.bytes();
  EXPECT_EQ(b[8], std::byte{0x00});
  EXPECT_EQ(b[11], std::byte{0x3F});
  EXPECT_EQ(b[10], std::byte{0x80});
}

TEST(Sculpt, ReplayAppliesEveryOperation) {
  SphereMesh m = sphere(), expected = sphere();
  const AttachmentPoint points[2] = {{1, 2, 3, 0}, {-1, 0, 0.5f, 9}};
  sculpt::Writer w;
  w.push({0, 1.5f, 0, 1}).paint({0, 1, 0, 0.5f}, {1, 0, 0, 1}).attachments(points).pivot(0.1f, 0.2f, 0.3f);
  w.pushStroke({0, 0, 0, 1.2f}, {0, 0, 0.5f, 1.2f}).paintStroke({1, 0, 0, 0.3f}, {0, 1, 0, 1}, {1, 0, 0, 0.3f}, {0, 0, 1, 1});
  SculptRecorder recorder(&m);
  recorder.replayBytes(w.bytes(), "memory");
  expected.push({0, 1.5f, 0}, 1);
  expected.paint({0, 1, 0}, 0.5f, {1, 0, 0, 1});
  expected.pushStroke({0, 0, 0, 1.2f}, {0, 0, 0.5f, 1.2f});
  expected.paintStroke({1, 0, 0, 0.3f}, {0, 1, 0, 1}, {1, 0, 0, 0.3f}, {0, 0, 1, 1});
  for (int i = 0; i < m.vertexCount; ++i) {
    EXPECT_EQ(m.vertices[i].y, expected.vertices[i].y);
    EXPECT_EQ(m.vertices[i].red, expected.vertices[i].red);
    EXPECT_EQ(m.vertices[i].green, expected.vertices[i].green);
  }
  ASSERT_EQ(recorder.attachments().size(), 2u);
  EXPECT_EQ(recorder.attachments()[1].w, 9.0f);
  EXPECT_EQ(m.pivot().z, 0.3f);
  EXPECT_EQ(recorder.mode, 1);
}

TEST(Sculpt, BaseIsReplayedFirstWithItsAttachmentPointsFirst) {
  ScratchDir dir("sculpt_base");
  WorkingDir here(dir.path());
  const AttachmentPoint basePoints[1] = {{1, 0, 0, 0}}, ownPoints[2] = {{2, 0, 0, 0}, {3, 0, 0, 0}};
  dir.write("parts/base", textOf(sculpt::Writer().attachments(basePoints).pivot(1, 1, 1).push({0, 0, 0, 2}).bytes()));
  dir.write("parts/own", textOf(sculpt::Writer("parts/base").attachments(ownPoints).pivot(5, 6, 7).push({0, 0, 0, 3}).bytes()));
  SphereMesh m = sphere();
  SculptRecorder recorder(&m);
  EXPECT_TRUE(recorder.replay("parts/own"));
  EXPECT_EQ(attachmentXs(recorder), (std::vector<float>{1, 2, 3}));
  EXPECT_EQ(m.pivot().x, 5.0f);
  EXPECT_NEAR(m.vertices[0].y, 3.0f, 1e-5);  // base pushed to 2 first, then 3
}

TEST(Sculpt, MissingFilesAndBasesChangeNothing) {
  ScratchDir dir("sculpt_missing");
  WorkingDir here(dir.path());
  SphereMesh m = sphere();
  SculptRecorder recorder(&m);
  EXPECT_FALSE(recorder.replay("no/such/file"));
  dir.write("own", textOf(sculpt::Writer("no/such/base").push({0, 0, 0, 2}).bytes()));
  EXPECT_TRUE(recorder.replay("own"));
  EXPECT_NEAR(m.vertices[0].y, 2.0f, 1e-5);
  EXPECT_TRUE(recorder.attachments().empty());
}

TEST(Sculpt, UnknownOpcodesAreSkippedWithoutPayload) {
  std::vector<std::byte> bytes = sculpt::Writer().opcode(6).opcode(-1).opcode(1000).pivot(1, 2, 3).bytes();
  SphereMesh m = sphere();
  SculptRecorder recorder(&m);
  recorder.replayBytes(bytes, "memory");
  EXPECT_EQ(m.pivot().x, 1.0f);
  EXPECT_EQ(m.pivot().z, 3.0f);
}

TEST(Sculpt, BaseLengthsThatMeanNoBase) {
  for (std::int32_t length : {0, -4, -2147483647 - 1}) {
    std::vector<std::byte> bytes = sculpt::Writer().pivot(4, 5, 6).bytes();
    setBaseLength(bytes, length);
    SphereMesh m = sphere();
    SculptRecorder recorder(&m);
    recorder.replayBytes(bytes, "memory");
    EXPECT_EQ(m.pivot().y, 5.0f) << length;
  }
  for (std::size_t size : {0u, 1u, 3u}) {
    std::vector<std::byte> bytes(size, std::byte{0x7F});
    SphereMesh m = sphere();
    SculptRecorder recorder(&m);
    recorder.replayBytes(bytes, "memory");
    EXPECT_EQ(m.vertices[0].y, 1.0f);
  }
  // A base length beyond the end: the path is cut short and nothing follows.
  std::vector<std::byte> bytes = sculpt::Writer("x").bytes();
  setBaseLength(bytes, 1000);
  SphereMesh m = sphere();
  SculptRecorder recorder(&m);
  recorder.replayBytes(bytes, "memory");
  EXPECT_EQ(m.vertices[0].y, 1.0f);
}

TEST(Sculpt, RecordsCutShortAreAppliedWithWhatTheyHold) {
  {  // push with x and y only: z and the radius keep the recorder's start values 0 and 0.4
    SphereMesh m = sphere();
    SculptRecorder recorder(&m);
    recorder.replayBytes(cut(sculpt::Writer().push({0, 1.2f, 0, 9}).bytes(), 8), "memory");
    EXPECT_NEAR(m.vertices[0].y, 0.8f, 1e-6);
  }
  {  // a pivot with x only: y and z become 0, and the push after it is never read
    std::vector<std::byte> bytes = cut(sculpt::Writer().push({0, 0, 0, 2}).pivot(7, 8, 9).push({0, 0, 0, 6}).bytes(), 28);
    SphereMesh m = sphere();
    SculptRecorder recorder(&m);
    recorder.replayBytes(bytes, "memory");
    EXPECT_EQ(m.pivot().x, 7.0f);
    EXPECT_EQ(m.pivot().y, 0.0f);
    EXPECT_EQ(m.pivot().z, 0.0f);
    EXPECT_NEAR(m.vertices[0].y, 2.0f, 1e-6);
  }
  {  // three attachment points announced, two and a half present
    const AttachmentPoint points[3] = {{1, 0, 0, 0}, {2, 0, 0, 0}, {3, 0, 0, 0}};
    SphereMesh m = sphere();
    SculptRecorder recorder(&m);
    recorder.replayBytes(cut(sculpt::Writer().attachments(points).bytes(), 8), "memory");
    ASSERT_EQ(recorder.attachments().size(), 2u);
    EXPECT_EQ(recorder.attachments()[1].x, 2.0f);
  }
  {  // a stroke cut inside its first point pushes once where that point ends up
    SphereMesh m = sphere(), once = sphere();
    SculptRecorder recorder(&m);
    recorder.replayBytes(cut(sculpt::Writer().pushStroke({0, 0, 0, 2}, {0, 5, 0, 1}).bytes(), 16), "memory");
    once.push({0, 0, 0}, 2);
    EXPECT_EQ(m.vertices[0].y, once.vertices[0].y);
  }
  {  // a partial opcode ends the replay
    std::vector<std::byte> bytes = sculpt::Writer().push({0, 0, 0, 2}).bytes();
    bytes.push_back(std::byte{0});
    bytes.push_back(std::byte{0});
    SphereMesh m = sphere();
    SculptRecorder recorder(&m);
    recorder.replayBytes(bytes, "memory");
    EXPECT_NEAR(m.vertices[0].y, 2.0f, 1e-6);
  }
}

TEST(Sculpt, BaseLoopsAreStoppedAndKeepWhatWasApplied) {
  ScratchDir dir("sculpt_loop");
  WorkingDir here(dir.path());
  const AttachmentPoint a[1] = {{1, 0, 0, 0}}, b[1] = {{2, 0, 0, 0}};
  dir.write("a", textOf(sculpt::Writer("b").attachments(a).bytes()));
  dir.write("b", textOf(sculpt::Writer("./a").attachments(b).bytes()));
  dir.write("self", textOf(sculpt::Writer("self").push({0, 0, 0, 2}).bytes()));
  SphereMesh m = sphere();
  SculptRecorder recorder(&m);
  EXPECT_TRUE(recorder.replay("a"));
  EXPECT_EQ(attachmentXs(recorder), (std::vector<float>{2, 1}));
  EXPECT_TRUE(recorder.replay("self"));
  EXPECT_NEAR(m.vertices[0].y, 2.0f, 1e-5);
  // A long chain without a loop stops at the depth bound: the 16 files nearest the start are
  // applied, deepest first (each leaves one attachment numbered by its place), and one line
  // names the file whose base was not replayed.
  for (int i = 0; i < 40; ++i) {
    const AttachmentPoint own[1] = {{float(i), 0, 0, 0}};
    dir.write("chain" + std::to_string(i),
              textOf(sculpt::Writer(i < 39 ? "chain" + std::to_string(i + 1) : "").attachments(own).bytes()));
  }
  SculptRecorder chained(&m);
  testing::internal::CaptureStderr();
  EXPECT_TRUE(chained.replay("chain0"));
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Sculpt recording chain15: base recording chain16 is nested too deep; it is not replayed\n");
  ASSERT_EQ(chained.attachments().size(), std::size_t(sculpt::maxBaseDepth));
  for (int i = 0; i < sculpt::maxBaseDepth; ++i) EXPECT_EQ(chained.attachments()[i].x, float(15 - i)) << i;
}

TEST(Sculpt, ArbitraryBytesNeverBreakTheMesh) {
  RandomSequence random;
  for (int round = 0; round < 300; ++round) {
    std::vector<std::byte> bytes;
    int size = random.next() % 200;
    for (int i = 0; i < size; ++i) {
      // Mostly small opcodes and plausible floats, sometimes anything.
      int r = random.next();
      bytes.push_back(static_cast<std::byte>(i % 4 == 3 && r % 3 ? 0x3F + r % 3 : (i % 4 == 0 ? r % 7 : r & 0xFF)));
    }
    SphereMesh m;
    m.generate(6);
    SculptRecorder recorder(&m);
    recorder.replayBytes(bytes, "memory");
    ASSERT_TRUE(allFinite(m)) << round;
  }
}

TEST(Sculpt, BaseRecordingsComeFromTheRecordersFileSource) {
  MemoryFiles files;
  const AttachmentPoint a[1] = {{1, 0, 0, 0}}, b[1] = {{2, 0, 0, 0}};
  files.files["top"] = sculpt::Writer("base").attachments(a).bytes();
  files.files["base"] = sculpt::Writer("top").attachments(b).bytes();  // leads back: stopped
  SphereMesh m = sphere();
  SculptRecorder recorder(&m, files);
  EXPECT_TRUE(recorder.replay("top"));
  EXPECT_EQ(attachmentXs(recorder), (std::vector<float>{2, 1}));
  EXPECT_FALSE(recorder.replay("not-in-memory"));
  // A base held only in memory is found from bytes replayed directly too.
  SculptRecorder direct(&m, files);
  direct.replayBytes(sculpt::Writer("base").bytes(), "outer");
  EXPECT_EQ(direct.attachments().size(), 2u);
}

TEST(Sculpt, BrushWorkIsBoundedWhileDeclarationsStillCount) {
  // A stroke shorter than any step pushes maxStrokeSteps balls; these sixteen, far from the mesh,
  // spend the whole budget, so the push after them is skipped, whether they come from a base or
  // from the recording itself, and the attachment points after it are still taken.
  static_assert(16 * std::int64_t{maxStrokeSteps} == sculpt::maxBrushBalls);
  const AttachmentPoint point[1] = {{3, 0, 0, 0}};
  sculpt::Writer spend;
  for (int i = 0; i < 16; ++i) spend.pushStroke({5, 5, 5, 0.1f}, {5, 5, 5.0001f, 0.1f});
  MemoryFiles files;
  files.files["spend"] = spend.bytes();
  sculpt::Writer inOne = spend;
  inOne.push({0, 1.5f, 0, 1}).attachments(point);
  files.files["in-one"] = inOne.bytes();
  files.files["after-base"] = sculpt::Writer("spend").push({0, 1.5f, 0, 1}).attachments(point).bytes();
  for (const char* name : {"in-one", "after-base"}) {
    SphereMesh m;
    m.generate(2);
    const float northY = m.vertices[0].y;
    SculptRecorder recorder(&m, files);
    testing::internal::CaptureStderr();
    EXPECT_TRUE(recorder.replay(name));
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(m.vertices[0].y, northY) << name;
    ASSERT_EQ(recorder.attachments().size(), 1u) << name;
    EXPECT_EQ(recorder.attachments()[0].x, 3.0f);
    EXPECT_NE(printed.find("too much brush work"), std::string::npos) << printed;
  }
  // Within the budget the same push lands.
  SphereMesh m;
  m.generate(2);
  SculptRecorder recorder(&m, files);
  recorder.replayBytes(sculpt::Writer().pushStroke({5, 5, 5, 0.1f}, {5, 5, 5.0001f, 0.1f}).push({0, 1.5f, 0, 1}).bytes(),
                       "small");
  EXPECT_NEAR(m.vertices[0].y, 0.5f, 1e-6);
}

TEST(Sculpt, AttachmentPointsAreCappedNotTheRecordsAfterThem) {
  std::vector<AttachmentPoint> many(sculpt::maxAttachmentPoints + 10, AttachmentPoint{1, 0, 0, 0});
  SphereMesh m = sphere();
  SculptRecorder recorder(&m);
  recorder.replayBytes(sculpt::Writer().attachments(many).push({0, 1.5f, 0, 1}).bytes(), "many");
  EXPECT_EQ(recorder.attachments().size(), sculpt::maxAttachmentPoints);
  EXPECT_NEAR(m.vertices[0].y, 0.5f, 1e-6);
}
