// The sound cues: they reach the audio device, stay off when switched off, and failures are printed.
#include <gtest/gtest.h>

#include <SDL2/SDL.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>

#include "game/cue_file.h"
#include "game/sound.h"
#include "tests/support/test_files.h"

namespace {

// A 0.2 s 16-bit mono tone, at `rate` samples a second.
std::string toneWave(std::uint32_t rate = 22050) {
  std::string w;
  auto u16 = [&](unsigned v) { w += char(v & 0xFF); w += char((v >> 8) & 0xFF); };
  auto u32 = [&](std::uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); };
  const int count = 4410;
  w += "RIFF"; u32(36 + count * 2); w += "WAVEfmt "; u32(16); u16(1); u16(1); u32(rate); u32(rate * 2); u16(2); u16(16);
  w += "data"; u32(count * 2);
  for (int i = 0; i < count; ++i) u16(static_cast<std::uint16_t>(static_cast<std::int16_t>(12000 * std::sin(i * 0.2))));
  return w;
}

class Sound : public ::testing::Test {
 protected:
  void SetUp() override { switchSound(true); }
  void TearDown() override { closeSound(); }
  ScratchDir dir{"sound"};
};

// Plays the cue on SDL's disk driver and counts the loud samples that reach the "device".
int loudSamplesOf(const std::filesystem::path& workDir, const char* command, const std::filesystem::path& out) {
  WorkingDir here(workDir);
  setenv("SDL_AUDIODRIVER", "disk", 1);
  setenv("SDL_DISKAUDIOFILE", out.c_str(), 1);
  setenv("SDL_DISKAUDIODELAY", "1", 1);
  testing::internal::CaptureStderr();
  playCue(command);
  std::this_thread::sleep_for(std::chrono::milliseconds(700));
  closeSound();
  std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_EQ(printed.find("Couldn't"), std::string::npos) << printed;
  EXPECT_EQ(printed.find("No audio device"), std::string::npos) << printed;
  auto bytes = readBytes(out);
  int loud = 0;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    auto sample = static_cast<std::int16_t>(std::to_integer<int>(bytes[i]) | (std::to_integer<int>(bytes[i + 1]) << 8));
    if (std::abs(sample) > 1000) ++loud;
  }
  return loud;
}

TEST_F(Sound, ACuePlaysNonSilentSamplesOnTheDiskDriver) {
  dir.write("collect.wav", toneWave());
  EXPECT_GT(loudSamplesOf(dir.path(), "play collect.wav", dir.path() / "tone.raw"), 1000);
}

// The game's own cues, as the data tool made them.
TEST_F(Sound, TheGamesCollectAndBlastCuesAreHeard) {
  std::filesystem::path run(VELMO_DATA_DIR);
  if (!std::filesystem::exists(run / "collect.wav")) GTEST_SKIP() << "no data in " << run;
  EXPECT_GT(loudSamplesOf(run, "play collect.wav", dir.path() / "collect.raw"), 1000);
  EXPECT_GT(loudSamplesOf(run, "play blast.wav", dir.path() / "blast.raw"), 5000);
}

TEST_F(Sound, SwitchedOffSendsNothingAndNeverOpensTheDevice) {
  switchSound(false);
  testing::internal::CaptureStderr();
  playCue("play collect.wav");
  playCue("play blast.wav");
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
}

TEST_F(Sound, AMissingFilePrintsTheLibrarysMessageAndGoesOn) {
  WorkingDir here(dir.path());
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  testing::internal::CaptureStderr();
  playCue("play collect.wav");
  playCue("play collect.wav");
  std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_NE(printed.find("collect.wav"), std::string::npos) << printed;
  EXPECT_EQ(printed.back(), '\n');
}

// The sound library allocates what a wave's chunks announce and converts to the device's rate:
// a cue file is examined first, refused with one line and silent from then on.
TEST_F(Sound, ACueFileThatWouldTakeMuchMemoryIsRefusedOnceAndStaysSilent) {
  std::string lying = toneWave();
  lying.replace(40, 4, std::string("\0\0\0\x40", 4));  // the data chunk announces 1 GiB
  const std::string cases[] = {lying, toneWave(4000), toneWave() + std::string(maxCueFileBytes, '\0')};
  for (const std::string& wave : cases)
    EXPECT_NE(cueFileFault(bytesOf(wave)), nullptr) << wave.size();
  EXPECT_EQ(cueFileFault(bytesOf(toneWave())), nullptr);
  EXPECT_EQ(cueFileFault(bytesOf(toneWave(8000))), nullptr);

  dir.write("blast.wav", lying);
  WorkingDir here(dir.path());
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  testing::internal::CaptureStderr();
  playCue("play blast.wav");
  playCue("play blast.wav");
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "blast.wav: a chunk announces more bytes than the file holds; the cue stays silent\n");
}

TEST_F(Sound, NoAudioDeviceIsOneLineThenSilence) {
  dir.write("collect.wav", toneWave());
  WorkingDir here(dir.path());
  setenv("SDL_AUDIODRIVER", "nosuchdriver", 1);
  testing::internal::CaptureStderr();
  playCue("play collect.wav");
  playCue("play collect.wav");
  std::string printed = testing::internal::GetCapturedStderr();
  EXPECT_NE(printed.find("No audio device"), std::string::npos) << printed;
  EXPECT_EQ(printed.find("No audio device"), printed.rfind("No audio device"));
}

}  // namespace
