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

// "Заново (F2)" (restarts the game) and "Справка" (shows the help), or their texts in the language
// in force. Fails when the first button cannot be created.
void showMenu();

// The scrolling help text and an OK button back to the menu.
void showHelp();

// The name field, shown by the game when a game ends; Enter calls onNameEntered.
void showNameEntry();

// Enters the name with the game's score (dialogActions.score) into the highscore table, saves it
// and shows the highscore list with an OK button back to the menu, and the "not saved" text
// (ui/texts.h) under the list when the save failed. A failure is thrown on with a text: its own,
// or "Error saving highscores\n" when it has none.
void onNameEntered(const std::string& name);
