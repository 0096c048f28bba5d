// Start-up: the game put between the frame's hooks, and the entry point.
#pragma once

// After the game's data has loaded: connects the dialogs to the game, starts it at the menu and
// routes the frame's keys to it, as the window's and a replay's inputs reach it alike.
void startGame();

// Starts the game and runs it until the window closes. A failure is printed on standard error
// and ends the program with status 1.
int runVelmo(int argc, char** argv);
