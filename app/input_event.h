// One input of the player as the frame dispatches it, after any platform translation: what a
// recording stores and a replay delivers again.
#pragma once

#include <cstdint>

enum class InputKind : std::uint8_t { specialKey = 1, character = 2, mouse = 3, windowSize = 4 };

struct InputEvent {
  InputKind kind;
  int key = 0;        // special key code, character (a Windows-1251 byte) or mouse button
  int state = 0;      // mouse: GLUT_DOWN or GLUT_UP
  float x = 0.0f;     // mouse: interface units
  float y = 0.0f;
  int width = 0;      // window size: pixels
  int height = 0;
};
