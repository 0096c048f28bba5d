// The application frame: the GLUT callbacks that drive the program, the hooks through which the
// game receives frames and keys, the window's projection and the light set-up.
#pragma once

using DisplayHook = void (*)();
using SpecialHook = void (*)(int key, int x, int y);
using KeyboardHook = void (*)(unsigned char key, int x, int y);
using TimerHook = void (*)(int value);
using ReshapeHook = void (*)(int width, int height);

struct AppFrame {
  DisplayHook displayHook = nullptr;    // draws and advances the game once per display
  SpecialHook specialHook = nullptr;    // sees every special key after the focused widget
  KeyboardHook keyboardHook = nullptr;  // sees every character but Tab
  TimerHook timerHook = nullptr;        // runs before each redisplay request
  ReshapeHook reshapeHook = nullptr;    // runs after the projection is set

  int windowWidth = 1;     // pixels
  int windowHeight = 1;    // pixels, never 0
  float aspect = 1.0f;     // windowWidth / windowHeight
  float cellSize = 0.05f;  // interface units spanned by 8 pixels: one glyph cell
};

extern AppFrame appFrame;

inline constexpr int timerPeriod = 50;  // milliseconds between redisplay requests

// The window's projection: a 90° view across the shorter side with no far plane, so that at eye
// depth 1 the shorter side spans -1..1 ("interface units").
struct Projection {
  int width;
  int height;          // 0 taken as 1
  float aspect;
  float matrix[16];    // column-major, as glLoadMatrixf takes it
  float cellSize;
};
Projection computeProjection(int width, int height);

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

// A directional light of the given colour (diffuse and specular) from `position`, which the
// current modelview matrix transforms, so set the camera first.
void setLight(int light, const float position[3], const float colour[4]);

// Whether the command line (after GLUT has taken its own options) leaves antialiasing on: it
// does unless an argument is "--no-antialiasing".
bool antialiasingWanted(int argc, const char* const* argv);

// The GLUT display mode of the window: double-buffered RGB with depth and stencil, and
// multisampled when antialiasing is wanted.
unsigned windowDisplayMode(bool antialiasing);

// The GL state the window keeps for the whole run: depth test, lighting, colour material, back
// faces culled, and the colour, vertex and normal arrays on.
void setFixedGlState();

// Creates the window, registers the callbacks, sets the fixed GL state and builds the font.
void openWindow(const char* title, int* argc, char** argv);

// Runs GLUT's loop until the window closes (GLUT then ends the process) or a callback fails, in
// which case the failure is thrown again from here.
void runMainLoop();
