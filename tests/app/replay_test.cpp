// Replay files: what the writer encodes the reader gives back, and damaged or foreign files are
// refused with one reason and no crash.
#include <gtest/gtest.h>

#include <GL/freeglut.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/options.h"
#include "app/replay.h"
#include "app/session.h"
#include "tests/support/test_files.h"

namespace {

ReplayHeader sampleHeader() { return ReplayHeader{"1.0", Config{30, 40, 0}, {"ship/hull/arrow", "", "ship/fin/raked"}}; }

InputEvent size(int w, int h) { return {.kind = InputKind::windowSize, .width = w, .height = h}; }
InputEvent special(int key) { return {.kind = InputKind::specialKey, .key = key}; }
InputEvent character(int c) { return {.kind = InputKind::character, .key = c}; }
InputEvent mouse(int state, float x, float y) {
  return {.kind = InputKind::mouse, .key = GLUT_LEFT_BUTTON, .state = state, .x = x, .y = y};
}

std::vector<std::byte> encode(const ReplayHeader& header, const std::vector<ReplayEvent>& events) {
  std::vector<std::byte> out;
  encodeReplayHeader(header, out);
  for (const ReplayEvent& e : events) encodeReplayEvent(e, out);
  return out;
}

std::vector<ReplayEvent> sampleEvents() {
  return {inputRecord(0, size(800, 600)),
          inputRecord(0, special(GLUT_KEY_LEFT)),
          inputRecord(3, character(0xC0)),  // a Cyrillic capital A in Windows-1251
          inputRecord(3, mouse(GLUT_DOWN, -1.3333f, 1.0f)),
          inputRecord(4, mouse(GLUT_UP, 5.0f, -7.0f)),  // released after a drag out of the window
          gameEndRecordAt(47, GameEndKind::timeOut, 0),
          inputRecord(60, size(300, 500)),
          gameEndRecordAt(90, GameEndKind::crash, 2147483647)};
}

std::string refusal(const std::vector<std::byte>& file) {
  Replay replay;
  std::string error;
  EXPECT_FALSE(parseReplay(file, replay, error));
  EXPECT_EQ(error.find('\n'), std::string::npos);
  return error;
}

TEST(Replay, ReadsBackWhatItWrote) {
  const std::vector<ReplayEvent> events = sampleEvents();
  Replay replay;
  std::string error;
  ASSERT_TRUE(parseReplay(encode(sampleHeader(), events), replay, error)) << error;
  EXPECT_EQ(replay.header.gameVersion, "1.0");
  EXPECT_EQ(replay.header.config.landscapeDetail, 30);
  EXPECT_EQ(replay.header.config.shipDetail, 40);
  EXPECT_EQ(replay.header.config.sound, 0);
  EXPECT_EQ(replay.header.variants, sampleHeader().variants);
  ASSERT_EQ(replay.events.size(), events.size());
  for (std::size_t i = 0; i < events.size(); ++i) {
    const ReplayEvent& a = replay.events[i];
    const ReplayEvent& b = events[i];
    EXPECT_EQ(a.display, b.display) << i;
    EXPECT_EQ(a.gameEnd, b.gameEnd) << i;
    if (b.gameEnd) {
      EXPECT_EQ(a.end, b.end) << i;
      EXPECT_EQ(a.score, b.score) << i;
    } else {
      EXPECT_EQ(a.input.kind, b.input.kind) << i;
      EXPECT_EQ(a.input.key, b.input.key) << i;
      EXPECT_EQ(a.input.state, b.input.state) << i;
      EXPECT_EQ(std::memcmp(&a.input.x, &b.input.x, sizeof(float)), 0) << i;  // bit for bit
      EXPECT_EQ(std::memcmp(&a.input.y, &b.input.y, sizeof(float)), 0) << i;
      EXPECT_EQ(a.input.width, b.input.width) << i;
      EXPECT_EQ(a.input.height, b.input.height) << i;
    }
  }
  // A header alone is a replay of a session without input.
  ASSERT_TRUE(parseReplay(encode(sampleHeader(), {}), replay, error)) << error;
  EXPECT_TRUE(replay.events.empty());
}

TEST(Replay, RefusesEveryTruncation) {
  const std::vector<std::byte> whole = encode(sampleHeader(), sampleEvents());
  std::vector<std::byte> header;
  encodeReplayHeader(sampleHeader(), header);
  // Every cut inside the header or inside a record is refused; cuts between records are whole
  // replays (a killed recording ends at its last game end).
  std::vector<std::size_t> boundaries{header.size()};
  for (const ReplayEvent& e : sampleEvents()) {
    std::vector<std::byte> one;
    encodeReplayEvent(e, one);
    boundaries.push_back(boundaries.back() + one.size());
  }
  for (std::size_t n = 0; n < whole.size(); ++n) {
    std::vector<std::byte> cut(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(n));
    Replay replay;
    std::string error;
    const bool atBoundary = std::find(boundaries.begin(), boundaries.end(), n) != boundaries.end();
    EXPECT_EQ(parseReplay(cut, replay, error), atBoundary) << n << ": " << error;
    if (n >= sizeof replayMagic && n < header.size()) {
      EXPECT_EQ(error, "truncated header") << n;
    }
    if (n > header.size() && !atBoundary) {
      EXPECT_NE(error.find("truncated record"), std::string::npos) << n;
    }
  }
}

TEST(Replay, RefusesForeignAndDamagedFilesWithTheirReason) {
  const std::vector<std::byte> good = encode(sampleHeader(), sampleEvents());
  std::vector<std::byte> header;
  encodeReplayHeader(sampleHeader(), header);

  std::vector<std::byte> magic = good;
  magic[0] = std::byte{'X'};
  EXPECT_EQ(refusal(magic), "not a velmo replay (wrong magic)");

  std::vector<std::byte> version = good;
  version[8] = std::byte{2};
  EXPECT_EQ(refusal(version), "replay format version 2, this game reads version 1");

  ReplayHeader detail = sampleHeader();
  detail.config.landscapeDetail = 5;
  EXPECT_EQ(refusal(encode(detail, {})), "configuration values outside what the game draws");

  auto withEvents = [&](const std::vector<ReplayEvent>& events) { return refusal(encode(sampleHeader(), events)); };
  EXPECT_NE(withEvents({inputRecord(5, size(800, 600)), inputRecord(4, special(GLUT_KEY_F2))})
                .find("display number going backwards"),
            std::string::npos);
  EXPECT_NE(withEvents({inputRecord(0, size(800, 600)), inputRecord(1, mouse(GLUT_DOWN, 1.4f, 0.0f))})
                .find("mouse press outside the window"),
            std::string::npos);
  EXPECT_NE(withEvents({inputRecord(1, mouse(GLUT_DOWN, 0.0f, 0.0f))}).find("mouse press outside the window"),
            std::string::npos)
      << "a press before any window size has no window to lie in";
  EXPECT_NE(withEvents({inputRecord(0, size(0, 600))}).find("window size out of range"), std::string::npos);
  EXPECT_NE(withEvents({inputRecord(0, special(-1))}).find("special key out of range"), std::string::npos);
  EXPECT_NE(withEvents({inputRecord(maxReplayDisplay + 1, special(1))}).find("display number out of range"),
            std::string::npos);
  EXPECT_NE(withEvents({gameEndRecordAt(3, GameEndKind::crash, -1)}).find("game end out of range"), std::string::npos);
  EXPECT_NE(withEvents({inputRecord(0, size(100, 100)),
                        inputRecord(0, mouse(GLUT_DOWN, std::numeric_limits<float>::quiet_NaN(), 0.0f))})
                .find("not a number"),
            std::string::npos);

  std::vector<std::byte> unknown = header;
  unknown.push_back(std::byte{9});
  for (int i = 0; i < 4; ++i) unknown.push_back(std::byte{0});
  EXPECT_EQ(refusal(unknown), "unknown record type 9 at byte " + std::to_string(header.size()));

  std::vector<std::byte> huge(maxReplayBytes + 1);
  std::copy(good.begin(), good.end(), huge.begin());
  EXPECT_EQ(refusal(huge), "larger than 64 MB");
}

TEST(Replay, RefusesTenMegabytesOfNoiseWithOrWithoutAValidHeader) {
  std::mt19937 random(19);
  std::vector<std::byte> noise(10u << 20);
  for (std::byte& b : noise) b = static_cast<std::byte>(random() & 0xFF);
  EXPECT_EQ(refusal(noise), "not a velmo replay (wrong magic)");
  std::vector<std::byte> header;
  encodeReplayHeader(sampleHeader(), header);
  std::copy(header.begin(), header.end(), noise.begin());
  EXPECT_FALSE(refusal(noise).empty());
}

}  // namespace

// --replay-speed K: one display every 50 / K ms, rounded, never less than 1; 0 draws the next
// display as soon as one ends.
TEST(ReplaySession, KTimesTheSpeedIsOneDisplayEvery50OverKMilliseconds) {
  std::vector<std::byte> file;
  encodeReplayHeader(sampleHeader(), file);
  const ScratchDir folder("replay_speed");
  const std::filesystem::path path =
      folder.write("speed.vrp", std::string_view(reinterpret_cast<const char*>(file.data()), file.size()));
  const struct {
    double speed;
    int period;
  } rows[] = {{1.0, 50}, {2.0, 25}, {0.5, 100}, {3.0, 17}, {0.01, 5000}, {100.0, 1}, {0.0, 0}};
  for (const auto& row : rows) {
    Options options;
    options.replayPath = path.string();
    options.replaySpeed = row.speed;
    std::string error;
    ASSERT_TRUE(prepareSession(options, error)) << error;
    EXPECT_EQ(appFrame.framePeriod, row.period) << row.speed;
  }
  appFrame.framePeriod = timerPeriod;
}
