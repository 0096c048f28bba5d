// Sound cues through the Windows multimedia string interface: the command names the wave file,
// which MCI opens by itself and plays without waiting.
#include "game/sound.h"

#include <windows.h>
#include <mmsystem.h>

#include "base/console.h"

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

}  // namespace

void switchSound(bool on) { soundOn = on; }

void openSound() {
  if (soundOn) haveDevice();
}

void reportSoundError(const char* text) {
  if (text && *text) consolePrint(stderr, "%s\n", text);
}

void playCue(const char* command) {
  if (!soundOn || !haveDevice()) return;
  MCIERROR result = mciSendStringA(command, nullptr, 0, nullptr);
  if (result == 0) return;
  char text[256];
  if (mciGetErrorStringA(result, text, sizeof text)) reportSoundError(text);
}

void closeSound() {
  if (device == Device::present) mciSendStringA("close all", nullptr, 0, nullptr);
}
