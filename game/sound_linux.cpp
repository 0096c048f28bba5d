// Sound cues through SDL_mixer (SDL's audio subsystem only).
#include "game/sound.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <unistd.h>

#include "base/console.h"
#include "game/cue_file.h"

namespace {

enum class Device { closed, open, missing };

Device device = Device::closed;  // the audio device, opened by the first cue
bool soundOn = true;             // the configuration's sound switch

// Loaded cues, kept for the rest of the run so a cue is read from disk once; a refused file is
// kept as a cue without a chunk, silent for the rest of the run.
struct LoadedCue {
  char file[64];
  Mix_Chunk* chunk;
};
LoadedCue loadedCues[8];
int loadedCueCount = 0;

void keepCue(const char* file, Mix_Chunk* chunk) {
  if (loadedCueCount < 8 && std::strlen(file) < sizeof loadedCues[0].file) {
    LoadedCue& cue = loadedCues[loadedCueCount++];
    std::snprintf(cue.file, sizeof cue.file, "%s", file);
    cue.chunk = chunk;
  }
}

// Runs `body` with standard error sent to /dev/null: the sound back-ends SDL tries in turn
// (ALSA above all) print screens of diagnostics while they look for a device that isn't there,
// and the game says what matters in one line of its own.
template <typename Body>
bool withQuietStderr(Body body) {
  std::fflush(stderr);
  int saved = dup(STDERR_FILENO);
  int quiet = open("/dev/null", O_WRONLY | O_CLOEXEC);
  if (saved >= 0 && quiet >= 0) dup2(quiet, STDERR_FILENO);
  bool result = body();
  std::fflush(stderr);
  if (saved >= 0) {
    dup2(saved, STDERR_FILENO);
    close(saved);
  }
  if (quiet >= 0) close(quiet);
  return result;
}

bool openDevice() {
  if (device == Device::open) return true;
  if (device == Device::missing) return false;
  // Without this SDL turns SIGINT and SIGTERM into quit events that nothing here reads, and
  // neither Ctrl+C on the console nor a plain kill would end the game any more.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  bool opened = withQuietStderr([] {
    return SDL_InitSubSystem(SDL_INIT_AUDIO) == 0 &&
           Mix_OpenAudio(MIX_DEFAULT_FREQUENCY, MIX_DEFAULT_FORMAT, 2, 1024) == 0;
  });
  if (!opened) {
    consolePrint(stderr, "No audio device (%s): the game plays on without sound.\n", SDL_GetError());
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    device = Device::missing;
    return false;
  }
  Mix_AllocateChannels(8);
  device = Device::open;
  std::atexit(closeSound);
  return true;
}

// The cue's chunk, or nullptr: then `silent` tells a refused file, already reported, from a
// failure for SDL_GetError to describe.
Mix_Chunk* cueChunk(const char* file, bool& silent) {
  silent = false;
  for (int i = 0; i < loadedCueCount; ++i)
    if (std::strcmp(loadedCues[i].file, file) == 0) return (silent = loadedCues[i].chunk == nullptr), loadedCues[i].chunk;
  std::vector<std::byte> bytes;
  switch (readCueFile(file, bytes)) {
    case CueFile::missing:
      // A missing file is reported in SDL's own words, at every play.
      SDL_SetError("Couldn't open %s", file);
      return nullptr;
    case CueFile::refused:
      keepCue(file, nullptr);
      silent = true;
      return nullptr;
    case CueFile::ok:
      break;
  }
  SDL_RWops* stream = SDL_RWFromConstMem(bytes.data(), static_cast<int>(bytes.size()));
  Mix_Chunk* chunk = stream ? Mix_LoadWAV_RW(stream, 1) : nullptr;
  if (chunk) keepCue(file, chunk);
  return chunk;
}

}  // namespace

void switchSound(bool on) { soundOn = on; }

void openSound() {
  if (soundOn) openDevice();
}

void reportSoundError(const char* text) {
  if (text && *text) consolePrint(stderr, "%s\n", text);
}

void playCue(const char* command) {
  if (!soundOn) return;
  const char verb[] = "play ";
  if (std::strncmp(command, verb, sizeof verb - 1) != 0) {
    reportSoundError("Unknown sound command.");
    return;
  }
  if (!openDevice()) return;
  const char* file = command + sizeof verb - 1;
  bool silent = false;
  Mix_Chunk* chunk = cueChunk(file, silent);
  if (silent) return;
  if (!chunk || Mix_PlayChannel(-1, chunk, 0) < 0) reportSoundError(SDL_GetError());
}

void closeSound() {
  if (device != Device::open) return;
  Mix_HaltChannel(-1);
  Mix_CloseAudio();
  for (int i = 0; i < loadedCueCount; ++i)
    if (loadedCues[i].chunk) Mix_FreeChunk(loadedCues[i].chunk);
  loadedCueCount = 0;
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  device = Device::closed;
}
