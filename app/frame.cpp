// The frame callbacks, the projection and the routing of input to the widgets and the game.
#include "app/frame.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string_view>

#include "app/text_input.h"
#include "base/console.h"
#include "ui/font.h"
#include "ui/widget.h"
#include "ui/window_list.h"

AppFrame appFrame;

namespace {

constexpr int wheelUpButton = 3;    // GLUT's button numbers for one notch of the wheel
constexpr int wheelDownButton = 4;

std::exception_ptr callbackFailure;  // a failure thrown inside a callback, thrown on by runMainLoop
bool timerPending = false;           // a timerCallback is registered and has not yet run
bool endRequested = false;           // endMainLoop has run: the loop returns as a success

// Runs a callback body; a failure leaves the main loop instead of unwinding through GLUT.
template <typename Body>
void guarded(Body body) {
  if (callbackFailure) return;
  try {
    body();
  } catch (...) {
    callbackFailure = std::current_exception();
    glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
    glutLeaveMainLoop();
  }
}

// GLUT's keyboard callbacks. Where the keys come straight from the window system, GLUT's report
// of a key only prompts fetching them, so that no key arrives twice or out of order.
void glutKeyboardCallback(unsigned char key, int x, int y) {
  pumpTextInput(keyboardCallback, specialCallback);
  if (useGlutKey(key)) keyboardCallback(key, x, y);
}

void glutSpecialCallback(int key, int x, int y) {
  pumpTextInput(keyboardCallback, specialCallback);
  if (useGlutKey(-1)) specialCallback(key, x, y);
}

}  // namespace

Projection computeProjection(int width, int height, int glyphScale) {
  Projection p{};
  if (height == 0) height = 1;
  p.width = width;
  p.height = height;
  p.aspect = static_cast<float>(width) / static_cast<float>(height);
  float left, right, bottom, top;
  if (width < height) {
    left = -1.0f;
    right = 1.0f;
    bottom = -1.0f / p.aspect;
    top = 1.0f / p.aspect;
  } else {
    left = -p.aspect;
    right = p.aspect;
    bottom = -1.0f;
    top = 1.0f;
  }
  float* m = p.matrix;
  m[0] = 2.0f / (right - left);
  m[1] = 0.0f;
  m[2] = (right + left) / (right - left);
  m[3] = 0.0f;
  m[4] = 0.0f;
  m[5] = 2.0f / (top - bottom);
  m[6] = (top + bottom) / (top - bottom);
  m[7] = 0.0f;
  m[8] = 0.0f;
  m[9] = 0.0f;
  m[10] = -1.0f;
  m[11] = -1.0f;
  m[12] = 0.0f;
  m[13] = 0.0f;
  m[14] = -1.0f;
  m[15] = 0.0f;
  p.cellSize = static_cast<float>(2.0 / std::min(width, height) * 8.0 * glyphScale);
  return p;
}

int glyphScaleFor(int uiScale, int width, int height) {
  if (uiScale != autoGlyphScale) return uiScale;
  const int shorter = std::min(width, std::max(height, 1));
  return std::clamp(shorter / pixelsPerGlyphScale, 1, maxGlyphScale);
}

InterfacePoint toInterfaceUnits(int x, int y, int windowWidth, int windowHeight) {
  int cx = windowWidth / 2;
  int cy = windowHeight / 2;
  int m = std::max(std::min(cx, cy), 1);  // a 1-pixel window has no half to divide by
  return {static_cast<float>(x - cx) / static_cast<float>(m), -static_cast<float>(y - cy) / static_cast<float>(m)};
}

void displayCallback() {
  guarded([] {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    if (appFrame.displayHook) appFrame.displayHook();

    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    GLfloat savedColour[4];
    glGetFloatv(GL_CURRENT_COLOR, savedColour);
    for (int i = 0; i < windowList.size(); ++i) {
      Widget* widget = windowList.at(i);
      if (widget == windowList.highlighted())
        glColor4f(1.0f, 1.0f, 0.0f, 0.5f);
      else
        glColor4f(0.0f, 1.0f, 0.0f, 0.5f);
      widget->draw();
    }
    glPopAttrib();
    glColor4fv(savedColour);
    glFlush();
    glutSwapBuffers();
    if (appFrame.framePeriod == 0) glutPostRedisplay();
  });
}

void timerCallback(int value) {
  timerPending = false;
  pumpTextInput(keyboardCallback, specialCallback);  // keys GLUT reported nothing for
  guarded([value] {
    if (appFrame.timerHook) appFrame.timerHook(value);
    glutPostRedisplay();
  });
  if (appFrame.framePeriod > 0) {
    glutTimerFunc(static_cast<unsigned>(appFrame.framePeriod), timerCallback, 1);
    timerPending = true;
  }
}

void setFramePeriod(int milliseconds) {
  appFrame.framePeriod = milliseconds;
  // From 0 the timer has stopped; exactly one must run again, or the game would go twice as fast.
  if (milliseconds > 0 && !timerPending) {
    glutTimerFunc(static_cast<unsigned>(milliseconds), timerCallback, 1);
    timerPending = true;
  }
}

void reshapeCallback(int width, int height) {
  guarded([width, height] {
    const int scale = glyphScaleFor(appFrame.uiScale, width, height);
    Projection p = computeProjection(width, height, scale);
    glViewport(0, 0, p.width, p.height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    appFrame.windowWidth = p.width;
    appFrame.windowHeight = p.height;
    appFrame.aspect = p.aspect;
    glLoadMatrixf(p.matrix);
    glMatrixMode(GL_MODELVIEW);
    cellSize = p.cellSize;
    setGlyphScale(scale);
  });
}

namespace {

void dispatchSpecialKey(int key, int x, int y) {
  if (Widget* focus = windowList.focus()) focus->onSpecialKey(key, x, y);
  if (appFrame.specialHook) appFrame.specialHook(key, x, y);
}

void dispatchCharacter(unsigned char key, int x, int y) {
  if (key == '\t') {
    windowList.focusNext();
    return;
  }
  if (Widget* focus = windowList.focus()) focus->onKey(key, x, y);
  windowList.listRebuilt = false;
  if (appFrame.keyboardHook) appFrame.keyboardHook(key, x, y);
}

void dispatchMouse(int button, int state, InterfacePoint p) {
  if (button > GLUT_RIGHT_BUTTON) {
    // GLUT reports each wheel notch as a press and a release of button 3 (up) or 4 (down), a
    // horizontal wheel as buttons 5 and 6. They press no widget; a vertical notch scrolls the
    // focused widget as the arrow keys do.
    if (state == GLUT_DOWN && (button == wheelUpButton || button == wheelDownButton))
      if (Widget* focus = windowList.focus())
        focus->onSpecialKey(button == wheelUpButton ? GLUT_KEY_UP : GLUT_KEY_DOWN, 0, 0);
    return;
  }
  windowList.listRebuilt = false;
  // The size is read anew on every turn: a widget may add others while the walk goes on.
  for (int i = 0; i < windowList.size(); ++i) {
    windowList.at(i)->onMouse(button, state, p.x, p.y);
    if (windowList.listRebuilt) {
      windowList.listRebuilt = false;
      break;
    }
  }
}

bool offered(const InputEvent& input) { return !appFrame.inputHook || appFrame.inputHook(input); }

}  // namespace

void dispatchInput(const InputEvent& input) {
  switch (input.kind) {
    case InputKind::specialKey:
      dispatchSpecialKey(input.key, 0, 0);
      break;
    case InputKind::character:
      dispatchCharacter(static_cast<unsigned char>(input.key), 0, 0);
      break;
    case InputKind::mouse:
      dispatchMouse(input.key, input.state, {input.x, input.y});
      break;
    case InputKind::windowSize:
      break;
  }
}

void specialCallback(int key, int x, int y) {
  // Full screen is the window's own business: no widget, hook or recording sees F11, only the
  // new size it brings.
  if (key == GLUT_KEY_F11) {
    glutFullScreenToggle();
    return;
  }
  guarded([key, x, y] {
    if (offered({.kind = InputKind::specialKey, .key = key})) dispatchSpecialKey(key, x, y);
  });
}

void keyboardCallback(unsigned char key, int x, int y) {
  guarded([key, x, y] {
    if (offered({.kind = InputKind::character, .key = key})) dispatchCharacter(key, x, y);
  });
}

void mouseCallback(int button, int state, int x, int y) {
  guarded([button, state, x, y] {
    InterfacePoint p = toInterfaceUnits(x, y, appFrame.windowWidth, appFrame.windowHeight);
    if (offered({.kind = InputKind::mouse, .key = button, .state = state, .x = p.x, .y = p.y}))
      dispatchMouse(button, state, p);
  });
}

void windowReshapeCallback(int width, int height) {
  guarded([width, height] { offered({.kind = InputKind::windowSize, .width = width, .height = height == 0 ? 1 : height}); });
  reshapeCallback(width, height);
}

void restoreWindowView() { reshapeCallback(appFrame.windowWidth, appFrame.windowHeight); }

unsigned windowDisplayMode(bool antialiasing) {
  unsigned mode = GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH | GLUT_STENCIL;
  return antialiasing ? mode | GLUT_MULTISAMPLE : mode;
}

namespace {

// GLUT's fatal errors, said in one line of our own; GLUT expects the program to end here.
void windowSystemFailed(const char* format, va_list arguments) {
  char text[256];
  std::vsnprintf(text, sizeof text, format, arguments);
  constexpr std::string_view noDisplay = "failed to open display '";  // GLUT's text, then the name
  const std::string_view said = text;
  if (said.starts_with(noDisplay) && said.ends_with('\'')) {
    const std::string_view name = said.substr(noDisplay.size(), said.size() - noDisplay.size() - 1);
    if (name.empty())
      consolePrint(stderr, "velmo: cannot open a window: no display is set (DISPLAY is empty)\n");
    else
      consolePrint(stderr, "velmo: cannot open a window on the display \"%.*s\"\n", int(name.size()), name.data());
  } else {
    consolePrint(stderr, "velmo: the window system failed: %s\n", text);
  }
  std::exit(1);
}

}  // namespace

void initWindowSystem(int* argc, char** argv) {
  glutInitErrorFunc(windowSystemFailed);
  glutInitWindowSize(800, 600);  // before glutInit, so that GLUT's -geometry option still wins
  glutInit(argc, argv);
}

void openWindow(const char* title, bool antialiasing, bool fullScreen) {
  glutInitDisplayMode(windowDisplayMode(antialiasing));
  // Without a window manager GLUT fills the screen by moving the window itself, and from its
  // default place, not yet known before the window shows, it ends a pixel off the corner.
  if (fullScreen) glutInitWindowPosition(0, 0);
  glutCreateWindow(title);
  if (fullScreen) glutFullScreen();
  glutDisplayFunc(displayCallback);
  glutReshapeFunc(windowReshapeCallback);
  glutSpecialFunc(glutSpecialCallback);
  glutKeyboardFunc(glutKeyboardCallback);
  glutTimerFunc(timerPeriod, timerCallback, 0);
  timerPending = true;
  glutMouseFunc(mouseCallback);
  startTextInput();
  setFixedGlState();
  initFont();
}

void setFixedGlState() {
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
  glEnableClientState(GL_COLOR_ARRAY);
  glEnableClientState(GL_VERTEX_ARRAY);
  glEnableClientState(GL_NORMAL_ARRAY);
  glEnable(GL_CULL_FACE);
  glEnable(GL_COLOR_MATERIAL);
}

void endMainLoop() {
  endRequested = true;
  glutSetOption(GLUT_ACTION_ON_WINDOW_CLOSE, GLUT_ACTION_GLUTMAINLOOP_RETURNS);
  glutLeaveMainLoop();
}

void runMainLoop() {
  if (!endRequested) glutMainLoop();
  if (callbackFailure) {
    std::exception_ptr failure = callbackFailure;
    callbackFailure = nullptr;
    std::rethrow_exception(failure);
  }
}
