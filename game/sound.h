// The sound cues: wave files from the working directory, started without waiting.
#pragma once

// Carries out a cue command, "play <file>". Does nothing while sound is switched off in the
// configuration. Failures are printed and never stop the game; without an audio device the game
// says so once and stays silent.
void playCue(const char* command);

// Switches the cues on or off, as the configuration's sound switch says; on until switched.
void switchSound(bool on);

// Opens the audio device while the game starts, when sound is on, so that the first cue does not
// stall a step; without a device the game says so once and stays silent.
void openSound();

// Prints the sound library's text for a failure on standard error.
void reportSoundError(const char* text);

// Closes the audio device if a cue opened it (waits for nothing).
void closeSound();
