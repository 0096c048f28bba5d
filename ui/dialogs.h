// The four screens of the interface: the main menu, the help text, the name entry at the end of a
// game and the highscore list. Each closes every window and creates its own widgets; the first
// widget it creates has the keyboard focus.
#pragma once

#include <string>

// What the dialogs do for the game, which sets them before it first shows the menu.
struct DialogActions {
  void (*restart)() = nullptr;  // the menu's "Заново (F2)" button; none: the button does nothing
  int (*score)() = nullptr;     // the score entered with the name when Enter is pressed; none: 0
};
extern DialogActions dialogActions;

// "Заново (F2)" (restarts the game) and "Справка" (shows the help). Throws the integer 1 when
// the first button cannot be created.
void showMenu();

// The scrolling help text and an OK button back to the menu.
void showHelp();

// The name field, shown by the game when a game ends; Enter calls onNameEntered.
void showNameEntry();

// Enters the name with the game's score (dialogActions.score) into the highscore table, saves it
// and shows the highscore list with an OK button back to the menu, and notSavedText under the list
// when the save failed. A failure is thrown on as a message: a
// message unchanged, anything else as "Error saving highscores\n".
void onNameEntered(const std::string& name);

// The line under the highscore list when the result could not be saved (Windows-1251).
extern const char* const notSavedText;

// The help text (Windows-1251): one sentence, a space, two tabs and the credits.
extern const char* const helpText;
