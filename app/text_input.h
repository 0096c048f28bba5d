// Keys typed into the game window, read from the window system itself where GLUT's keyboard
// callback loses characters (on X11 it hands over Latin-1 bytes, and nothing for Cyrillic).
#pragma once

using TypedCharacterSink = void (*)(unsigned char character, int x, int y);  // a Windows-1251 byte
using TypedSpecialSink = void (*)(int key, int x, int y);                    // a GLUT_KEY_ code

// Starts reading the keys of the window GLUT has just created (the current GL drawable). False
// when this window system needs no such reading or cannot give it; GLUT's callbacks then stand.
bool startTextInput();

// Hands each key typed since the last pump to one sink, in the order typed: characters as
// Windows-1251 bytes (a character Windows-1251 lacks is dropped), the keys GLUT calls special
// as their GLUT codes; x and y are the pointer's pixel position. Does nothing when not started.
void pumpTextInput(TypedCharacterSink character, TypedSpecialSink special);

// Whether a key that GLUT's keyboard (a byte) or special (-1) callback reports is dispatched as
// it stands: not when the keys come through pumpTextInput, whose order and text win, and not
// when GLUT's byte is not the game's character.
bool useGlutKey(int character);
