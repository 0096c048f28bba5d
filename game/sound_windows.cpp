// Sound cues through the Windows multimedia string interface: the command names the wave file,
// which MCI opens by itself and plays without waiting.
#include "game/sound.h"

#include <windows.h>
#include <mmsystem.h>

#include <cstring>
#include <string>
#include <vector>

#include "base/console.h"
#include "game/cue_file.h"

namespace {

enum class Device { unknown, present, missing };

Device device = Device::unknown;  // whether a wave output device exists, asked once
bool soundOn = true;              // the configuration's sound switch

bool haveDevice() {
  if (device == Device::unknown) {
    device = waveOutGetNumDevs() > 0 ? Device::present : Device::missing;
    if (device == Device::missing)
      consolePrint(stderr, "No audio device (no wave output device): the game plays on without sound.\n");
  }
  return device == Device::present;
}

// Whether the file a "play <file>" command names may be played: its wave file is examined the
// first time, as MCI reads whatever it names. A refused file is said once and stays silent.
bool cueAllowed(const char* command) {
  struct Checked {
    std::string file;
    bool allowed;
  };
  static std::vector<Checked> checked;
  const char verb[] = "play ";
  if (std::strncmp(command, verb, sizeof verb - 1) != 0) return true;
  const std::string file = command + sizeof verb - 1;
  for (const Checked& c : checked)
    if (c.file == file) return c.allowed;
  std::vector<std::byte> bytes;
  // A missing file is MCI's to report, at every play, and is looked at again next time.
  const CueFile found = readCueFile(file.c_str(), bytes);
  if (found == CueFile::missing) return true;
  checked.push_back({file, found == CueFile::ok});
  return found == CueFile::ok;
}

}  // namespace

void switchSound(bool on) { soundOn = on; }

void openSound() {
  if (soundOn) haveDevice();
}

void reportSoundError(const char* text) {
  if (text && *text) consolePrint(stderr, "%s\n", text);
}

void playCue(const char* command) {
  if (!soundOn || !haveDevice() || !cueAllowed(command)) return;
  MCIERROR result = mciSendStringA(command, nullptr, 0, nullptr);
  if (result == 0) return;
  char text[256];
  if (mciGetErrorStringA(result, text, sizeof text)) reportSoundError(text);
}

void closeSound() {
  if (device == Device::present) mciSendStringA("close all", nullptr, 0, nullptr);
}
