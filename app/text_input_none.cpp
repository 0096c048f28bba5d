// Keys where GLUT's keyboard callbacks already hand over the game's own characters.
#include "app/text_input.h"

bool startTextInput() { return false; }
void pumpTextInput(TypedCharacterSink, TypedSpecialSink) {}
bool useGlutKey(int) { return true; }
