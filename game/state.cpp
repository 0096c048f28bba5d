// The game state, restart, steering and the flight step.
#include "game/state.h"

#include <GL/freeglut.h>

#include <cmath>

#include "base/text1251.h"
#include "ui/dialogs.h"
#include "ui/widgets.h"

GameState gameState = initialGameState();

GameState initialGameState() {
  GameState state{{-110.0f, -15.0f, 0.0f}, 0.0f, 0.0f, 0, 0.0f, 1.0f, 0, false, StepEvents{}};
  // A pause before the first step shows the start: the eye in its place, the bubble up.
  state.lastStep.viewCamera = state.camera;
  state.lastStep.viewHeading = state.heading;
  state.lastStep.bubbleShown = true;
  return state;
}

float headingRadians(float heading) {
  // 0.0055555557 is 1/180 rounded to single precision.
  return heading * 0.0055555557f * 3.14159265358979f;
}

Vec3 probePoint(const GameState& state) {
  float h = headingRadians(state.heading);
  return {state.camera.x - shipDistance * std::sin(h), state.camera.y, state.camera.z + shipDistance * std::cos(h)};
}

void flightStep(GameState& state) {
  if (state.bubble > 0.0f) {
    float h = headingRadians(state.heading);
    state.camera.x -= flightSpeed * std::sin(h);
    state.camera.z += flightSpeed * std::cos(h);
  }
  if (state.turnRequest != 0.0f) {
    state.heading += turnStep * state.turnRequest;
    state.turnRequest = 0.0f;
  }
}

void applySpecialKey(GameState& state, int key) {
  bool running = state.crashed == 0 && state.bubble > 0.0f;
  if (key == GLUT_KEY_LEFT && running) state.turnRequest = -1.0f;
  if (key == GLUT_KEY_RIGHT && running) state.turnRequest = 1.0f;
  if (state.heading < 0.0f) state.heading += 360.0f;
  if (state.heading > 360.0f) state.heading -= 360.0f;
}

void restartGame() {
  gameState = initialGameState();
  showMenu();
}

void connectDialogs() {
  dialogActions.restart = restartGame;
  dialogActions.score = [] { return gameState.collected; };
}

void gameSpecialKey(int key, int, int) {
  if (key == GLUT_KEY_F2) restartGame();
  applySpecialKey(gameState, key);
}

void gameKey(unsigned char key, int, int) {
  constexpr unsigned char russianP = static_cast<unsigned char>("з"_cp1251[0]);
  constexpr unsigned char russianCapitalP = static_cast<unsigned char>("З"_cp1251[0]);
  const bool pauseKey = key == 'p' || key == 'P' || key == russianP || key == russianCapitalP;
  if (pauseKey && !focusTakesText()) gameState.paused = !gameState.paused;
}

void placeCamera(float heading, const Vec3& camera) {
  glLoadIdentity();
  glRotatef(heading, 0.0f, 1.0f, 0.0f);
  glTranslatef(camera.x, camera.y, camera.z);
}
