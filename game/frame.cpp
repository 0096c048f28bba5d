// One step of the game.
#include "game/frame.h"

#include <GL/gl.h>

#include "app/frame.h"
#include "game/state.h"

namespace {

const float lightPosition[3] = {1000.0f, 100.0f, 0.0f};  // low from +x, directional
const float lightColour[4] = {1.0f, 1.0f, 1.0f, 1.0f};

}  // namespace

void drawScene() {
  glPushMatrix();
  // landscapes
  glPopMatrix();

  // The floor frame: the floor lies in its x-y plane, so a star (x, y, z) stands at world (x, z, -y).
  glPushMatrix();
  glRotatef(90.0f, -1.0f, 0.0f, 0.0f);
  // floor and stars
  glPopMatrix();
}

void gameFrame() {
  placeCamera();
  setLight(GL_LIGHT1, lightPosition, lightColour);
  if (gameState.crashed != 1) flightStep(gameState);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT);
  setLight(GL_LIGHT1, lightPosition, lightColour);
  drawScene();
}
