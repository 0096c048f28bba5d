// Every text the on-screen interface shows, one table per language, and the language in force.
#pragma once

enum class Language { russian, english };

struct InterfaceTexts {
  const char* restartButton;  // the menu's first button
  const char* helpButton;     // the menu's second button
  const char* okButton;       // closes the help and the highscore list
  const char* helpText;       // the help dialog's scrolling text
  const char* namePrompt;     // the name field's caption at the end of a game
  const char* scoreFormat;    // the score line: a printf format taking the collected count as %i
  const char* notSaved;       // under the highscore list when the result could not be saved
  const char* pauseLabel;     // over the picture while the game is paused
};

// The language named `code` ("ru", "en"); false for any other code.
bool findLanguage(const char* code, Language& language);

// The table of one language.
const InterfaceTexts& textsFor(Language language);

// The texts in force: Russian unless setLanguage chose another at start-up.
const InterfaceTexts& interfaceTexts();
void setLanguage(Language language);
