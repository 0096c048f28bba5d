// The application frame: the GLUT callbacks that drive the program, the hooks through which the
// game receives frames and keys, the window's projection and the light set-up.
#pragma once

#include "app/input_event.h"

using DisplayHook = void (*)();
using SpecialHook = void (*)(int key, int x, int y);
using KeyboardHook = void (*)(unsigned char key, int x, int y);
using TimerHook = void (*)(int value);
using InputHook = bool (*)(const InputEvent& input);

inline constexpr int timerPeriod = 50;  // milliseconds between redisplay requests

struct AppFrame {
  DisplayHook displayHook = nullptr;    // draws and advances the game once per display
  SpecialHook specialHook = nullptr;    // sees every special key after the focused widget
  KeyboardHook keyboardHook = nullptr;  // sees every character but Tab
  TimerHook timerHook = nullptr;        // runs before each redisplay request
  InputHook inputHook = nullptr;        // sees every input from the window first; false drops it
  int framePeriod = timerPeriod;        // ms between redisplay requests; 0: one as each display ends

  int windowWidth = 1;     // pixels
  int windowHeight = 1;    // pixels, never 0
  float aspect = 1.0f;     // windowWidth / windowHeight
  int uiScale = 1;         // screen pixels per font pixel, or autoGlyphScale; applied at reshape
};

inline constexpr int maxGlyphScale = 8;
inline constexpr int autoGlyphScale = 0;         // the largest scale the window's shorter side takes
inline constexpr int pixelsPerGlyphScale = 480;  // shorter-side pixels each step of the auto scale needs

extern AppFrame appFrame;

// The window's projection: a 90° view across the shorter side with no far plane, so that at eye
// depth 1 the shorter side spans -1..1 ("interface units").
struct Projection {
  int width;
  int height;          // 0 taken as 1
  float aspect;
  float matrix[16];    // column-major, as glLoadMatrixf takes it
  float cellSize;      // interface units spanned by 8 × glyphScale pixels
};
Projection computeProjection(int width, int height, int glyphScale = 1);

// Screen pixels per font pixel in a window of this size: `uiScale` itself, or for autoGlyphScale
// the largest scale up to maxGlyphScale whose pixelsPerGlyphScale × scale the shorter side holds,
// at least 1.
int glyphScaleFor(int uiScale, int width, int height);

// A pointer position in pixels (origin top-left) in interface units.
struct InterfacePoint {
  float x;
  float y;
};
InterfacePoint toInterfaceUnits(int x, int y, int windowWidth, int windowHeight);

// GLUT callbacks.
void displayCallback();
void timerCallback(int value);
void reshapeCallback(int width, int height);
void specialCallback(int key, int x, int y);
void keyboardCallback(unsigned char key, int x, int y);
void mouseCallback(int button, int state, int x, int y);
void windowReshapeCallback(int width, int height);  // GLUT's reshape: offers the size, then reshapes

// Changes framePeriod once the main loop runs, restarting the timer when it had stopped at 0.
void setFramePeriod(int milliseconds);

// Routes one input to the widgets and the game's hooks as the callbacks above do once the input
// hook has let it through; a window size is only reported, never applied. Pointer pixels that
// widgets and hooks receive for keys are 0.
void dispatchInput(const InputEvent& input);

// The window's viewport and projection as the last reshape set them, set again (the game's face
// views change both).
void restoreWindowView();

// Starts GLUT, which takes its own options out of the arguments.
void initWindowSystem(int* argc, char** argv);

// The GLUT display mode of the window: double-buffered RGB with depth and stencil, and
// multisampled when antialiasing is wanted.
unsigned windowDisplayMode(bool antialiasing);

// The GL state the window keeps for the whole run: depth test, lighting, colour material, back
// faces culled, and the colour, vertex and normal arrays on.
void setFixedGlState();

// Creates the window, in full screen if asked, registers the callbacks, sets the fixed GL state and
// builds the font.
void openWindow(const char* title, bool antialiasing, bool fullScreen = false);

// Runs GLUT's loop until the window closes (GLUT then ends the process), a callback fails, in
// which case the failure is thrown again from here, or endMainLoop asks it to return.
void runMainLoop();

// Ends the main loop without a failure: runMainLoop returns, at once when it has not begun yet.
void endMainLoop();
