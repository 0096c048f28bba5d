// Start-up: the values it sets for the rest of the run and the entry point.
#pragma once

// Starts the game and runs it until the window closes. A failure is printed on standard error
// and ends the program with status 1.
int runVelmo(int argc, char** argv);
