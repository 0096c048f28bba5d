// Start-up: the values it sets for the rest of the run, the progress stamp and the entry point.
#pragma once

#include <ctime>
#include <string>

extern int tessellationDetail;  // sphere detail: the ship's while it loads, then the landscapes'
extern int soundEnabled;        // non-zero: the sound cues play

// " [  OK  ] " and the local date and time, completing a progress line on standard output.
void logOk();

// The 24 characters of C's asctime ("Mon Dec 07 06:17:58 2026"), the day always two digits.
std::string formatStamp(const std::tm& time);

// Starts the game and runs it until the window closes. A failure is printed on standard error
// and ends the program with status 1.
int runVelmo(int argc, char** argv);
