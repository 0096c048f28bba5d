// The one failure the game throws when it cannot go on, and the texts it prints for its failures.
#pragma once

#include <string>
#include <utility>

// The game's own failure texts. Their spelling, their line breaks and the lack of them are the
// game's own: keep them byte for byte, typos included.
namespace failureText {
inline constexpr const char* unnamed = "A error detected";  // printed for a failure without a text
inline constexpr const char* notEnoughMemory = "Not enought memory\n";
inline constexpr const char* savingHighscores = "Error saving highscores\n";
inline constexpr const char* multitexture = "Error initializing multitexture\n";
inline constexpr const char* accessingFile = "Error accessing file.";
inline constexpr const char* skyFront = "Error loading front texture\n";
inline constexpr const char* skyBack = "Error loading back texture\n";
inline constexpr const char* skyLeft = "Error loading left texture=n";
inline constexpr const char* skyRight = "Error loading right texture";
inline constexpr const char* skyTop = "Error loading top texture";
inline constexpr const char* skyBottom = "Error loading bottom texture\n";
// "Не найдено ни одного файла" in Windows-1251: no part variant found (no readable files.txt).
extern const char* const noVariantFound;
}  // namespace failureText

// Thrown by whatever cannot go on; the entry point prints it and ends the program.
struct GameError {
  GameError() = default;
  explicit GameError(const char* text, std::string aboutFile = {}, std::string why = {})
      : message(text), file(std::move(aboutFile)), reason(std::move(why)) {}

  const char* message = nullptr;  // one of failureText's, or nullptr for a failure without a text
  std::string file;               // the file the failure concerns; empty when it concerns none
  std::string reason;             // what went wrong with the file: the system's error text or
                                  // what the reader found in it
};

// What the entry point prints for a failure: the game's text as it stands (failureText::unnamed
// when there is none); then, when a file is named, "velmo: FILE: REASON" on a line of its own, the
// file's control bytes escaped as the console names files.
std::string failureReport(const GameError& error);
